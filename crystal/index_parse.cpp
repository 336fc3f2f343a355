#include "crystal/index_parse.h"

#include <array>
#include <string>

#include "crystal/crystal_cell.h"
#include "numbers/number_text.h"

namespace lamivex::crystal {
namespace {

std::string_view trimLeadingBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view{} : text.substr(first);
}

// Length of the piece up to and including the first blank; 0 when there is no blank, in
// which case the piece is empty and the cut leaves the text whole.
std::size_t cutLength(std::string_view text) {
    const std::size_t blank = text.find(' ');
    return blank == std::string_view::npos ? 0 : blank + 1;
}

// The three index pieces by the cut rules: the text after a cut is not trimmed, so a
// second blank after the first index becomes part of the next piece; the last piece is
// taken after trimming, at the position the cut found before trimming.
std::array<std::string_view, 3> cutPieces(std::string_view text) {
    std::string_view s = trimLeadingBlanks(text);
    std::size_t p = cutLength(s);
    const std::string_view first = s.substr(0, p);
    s = trimLeadingBlanks(s).substr(p);
    p = cutLength(s);
    const std::string_view second = s.substr(0, p);
    const std::string_view trimmed = trimLeadingBlanks(s);
    const std::string_view third = p < trimmed.size() ? trimmed.substr(p) : std::string_view{};
    return {first, second, third};
}

}  // namespace

std::optional<MillerPlane> parseMillerPlane(std::string_view text) {
    const std::array<std::string_view, 3> pieces = cutPieces(text);
    std::array<int16_t, 3> indices{};
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const numbers::Parsed<int16_t> parsed = numbers::toInt16(pieces[i]);
        if (!parsed.ok()) {
            return std::nullopt;
        }
        indices[i] = parsed.value;
    }
    return MillerPlane{indices[0], indices[1], indices[2]};
}

Direction parseDirection(std::string_view text) {
    const std::array<std::string_view, 3> pieces = cutPieces(text);
    return {readFieldValue(pieces[0]), readFieldValue(pieces[1]), readFieldValue(pieces[2])};
}

}  // namespace lamivex::crystal
