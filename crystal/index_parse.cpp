#include "crystal/index_parse.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include <fmt/format.h>

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

std::vector<std::string_view> blankSeparatedWords(std::string_view text) {
    std::vector<std::string_view> words;
    std::size_t start = text.find_first_not_of(' ');
    while (start != std::string_view::npos) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        words.push_back(text.substr(start, end - start));
        start = text.find_first_not_of(' ', end);
    }
    return words;
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

IndexReading<MillerPlane> readWholeMillerPlane(std::string_view text) {
    const std::optional<MillerPlane> plane = parseMillerPlane(text);
    if (!plane) {
        return {std::nullopt, fmt::format("expected \"h k l\", three whole numbers separated "
                                          "by single blanks, got '{}'",
                                          text)};
    }
    for (const std::string_view piece : cutPieces(text)) {
        const numbers::Parsed<double> value = numbers::toDouble(piece);
        if (value.value != std::trunc(value.value)) {
            return {std::nullopt,
                    fmt::format("Miller indices must be whole numbers; {} in '{}' is not",
                                blankSeparatedWords(piece).front(), text)};
        }
    }
    return {plane, {}};
}

IndexReading<Direction> readDirectionExactly(std::string_view text) {
    const std::vector<std::string_view> words = blankSeparatedWords(text);
    if (words.empty()) {
        return {std::nullopt, "empty direction: give u v w"};
    }
    for (const std::string_view word : words) {
        if (!numbers::isNumeric(word)) {
            return {std::nullopt, fmt::format("expected \"u v w\", numbers separated by single "
                                              "blanks, got '{}'",
                                              text)};
        }
    }
    if (words.size() > 3) {
        return {std::nullopt, fmt::format("a direction has three indices u v w; '{}' has {}", text,
                                          words.size())};
    }
    // The cuts keep every number only when each piece holds at most one of them.
    std::size_t numbersRead = 0;
    bool onePerPiece = true;
    for (const std::string_view piece : cutPieces(text)) {
        const std::size_t inPiece = blankSeparatedWords(piece).size();
        numbersRead += inPiece;
        onePerPiece = onePerPiece && inPiece <= 1;
    }
    if (!onePerPiece || numbersRead != words.size()) {
        return {std::nullopt, fmt::format("separate u v w by single blanks; '{}' would not be "
                                          "read as it stands",
                                          text)};
    }
    return {parseDirection(text), {}};
}

}  // namespace lamivex::crystal
