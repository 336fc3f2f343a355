#include "output/model_picture.h"

#include <algorithm>
#include <array>
#include <vector>

namespace lamivex::output {
namespace {

constexpr Rgb kSubstrateGrey{170, 170, 170};
constexpr std::array<Rgb, 5> kOverlayerColours = {
    Rgb{40, 90, 200}, Rgb{200, 50, 40}, Rgb{40, 150, 60}, Rgb{150, 60, 170}, Rgb{220, 140, 0}};

}  // namespace

DisplayList modelTopView(std::span<const TopViewAtom> atoms, Point a, Point b) {
    // The frame holds the cell's four corners with a margin of a tenth of its size; the
    // y axis points up, so the coordinate system's top is the largest y.
    const std::array<Point, 4> corners = {Point{0, 0}, a, Point{a.x + b.x, a.y + b.y}, b};
    double left = 0;
    double right = 0;
    double low = 0;
    double high = 0;
    for (const Point& p : corners) {
        left = std::min(left, p.x);
        right = std::max(right, p.x);
        low = std::min(low, p.y);
        high = std::max(high, p.y);
    }
    const double margin = 0.1 * std::max(right - left, high - low);
    const double legend = 0.12 * std::max(right - left, high - low);
    DisplayList list;
    list.coordinates = {left - margin, high + margin, right + margin, low - margin - legend};
    list.hasBackground = true;
    for (std::size_t k = 0; k < corners.size(); ++k) {
        list.addLine(corners[k], corners[(k + 1) % corners.size()]);
    }
    const double size = std::max(right - left, high - low);
    std::vector<std::string> elements;
    std::vector<Point> substrate;
    for (const TopViewAtom& atom : atoms) {
        if (atom.substrate) {
            substrate.push_back({atom.x, atom.y});
        }
    }
    list.addDiscs(substrate, 0.012 * size, kSubstrateGrey);
    for (const TopViewAtom& atom : atoms) {
        if (atom.substrate) {
            continue;
        }
        auto at = std::find(elements.begin(), elements.end(), atom.element);
        if (at == elements.end()) {
            elements.push_back(atom.element);
            at = elements.end() - 1;
        }
        const auto colour = kOverlayerColours[static_cast<std::size_t>(at - elements.begin()) %
                                              kOverlayerColours.size()];
        list.addDisc({atom.x, atom.y}, 0.008 * size, colour);
    }
    // The legend: the substrate's top layer, then each overlayer element.
    double x = left;
    const double y = low - margin - 0.5 * legend;
    const double text = 0.045 * size;
    const auto key = [&](Rgb colour, const std::string& label) {
        list.addDisc({x, y}, 0.012 * size, colour);
        list.addText({x + 0.03 * size, y + 0.5 * text}, label, text);
        x += 0.06 * size + 0.03 * size * static_cast<double>(label.size());
    };
    key(kSubstrateGrey, "top substrate layer");
    for (std::size_t k = 0; k < elements.size(); ++k) {
        key(kOverlayerColours[k % kOverlayerColours.size()], elements[k]);
    }
    return list;
}

}  // namespace lamivex::output
