#include "iteration/range_rules.h"

#include <array>

#include <fmt/format.h>

#include "engine/field_rules.h"
#include "numbers/input_error.h"
#include "numbers/number_text.h"

namespace lamivex::iteration {
namespace {

bool readable(std::string_view text) {
    return numbers::isNumeric(text) && numbers::toSingle(text).ok();
}

constexpr std::array<RangeColumn, 3> kColumns = {RangeColumn::From, RangeColumn::To,
                                                 RangeColumn::Increment};

}  // namespace

std::string_view columnCaption(RangeColumn column) {
    switch (column) {
        case RangeColumn::From:
            return "From";
        case RangeColumn::To:
            return "To";
        case RangeColumn::Increment:
            return "Increment";
    }
    return {};
}

std::string objectNameOf(Constant row, RangeColumn column) {
    static constexpr std::array<std::string_view, 3> kSuffixes = {"low", "high", "inc"};
    return std::string(constantName(row)) +
           std::string(kSuffixes[static_cast<std::size_t>(column)]);
}

RangeFieldRule rangeFieldRule(Constant row, RangeColumn column) {
    RangeFieldRule rule;
    const bool overlayerLength = row == Constant::b1 || row == Constant::b2;
    switch (column) {
        case RangeColumn::From:
            rule.remembersValue = !overlayerLength;
            rule.normalises = row == Constant::beta;
            break;
        case RangeColumn::To:
            rule.checksRange = true;
            rule.remembersValue = row == Constant::a1;
            rule.normalises = row == Constant::a1;
            break;
        case RangeColumn::Increment:
            rule.remembersValue = row == Constant::beta;
            rule.normalises = row == Constant::beta;
            break;
    }
    return rule;
}

RangeVerdict checkRangeEntry(const RangeFieldRule& rule, std::string_view text,
                             std::string_view fromText) {
    if (!readable(text)) {
        const bool outOfRange = numbers::isNumeric(text);
        std::string reason =
            outOfRange ? fmt::format("\"{}\" is out of range (a single-precision number)", text)
                       : fmt::format("\"{}\" is not a number", text);
        return {false, numbers::kInvalidData, std::move(reason)};
    }
    if (rule.checksRange && readable(fromText)) {
        const float from = numbers::toSingle(fromText).value;
        const float to = numbers::toSingle(text).value;
        if (from > to) {
            return {false, kInvalidRange,
                    fmt::format("({}) is below the From value ({})", numbers::formatSingle(to),
                                numbers::formatSingle(from))};
        }
    }
    return {};
}

std::string rangeEntryValue(const RangeFieldRule& rule, std::string_view text) {
    if (rule.remembersValue) {
        if (auto value = shortestRangeText(text)) {
            return std::move(*value);
        }
    }
    return std::string(text);
}

std::optional<std::string> shortestRangeText(std::string_view text) {
    std::optional<std::string> normalised = numbers::normaliseSingleText(text);
    if (!normalised) {
        return std::nullopt;
    }
    std::string& out = *normalised;
    if (out.starts_with('.')) {
        out.insert(0, 1, '0');
    } else if (out.starts_with("-.")) {
        out.insert(1, 1, '0');
    }
    return normalised;
}

void checkRangeRow(Constant row, const RangeRowTexts& texts) {
    const std::array<const std::string*, 3> columnTexts = {&texts.from, &texts.to,
                                                           &texts.increment};
    for (const RangeColumn column : kColumns) {
        const RangeVerdict verdict =
            checkRangeEntry(rangeFieldRule(row, column),
                            *columnTexts[static_cast<std::size_t>(column)], texts.from);
        if (!verdict.accepted) {
            numbers::failInput(
                rangeFieldName(row),
                fmt::format("The {} value {}.", columnCaption(column), verdict.reason),
                std::string(columnCaption(column)));
        }
    }
}

void checkCriterion(std::string_view text) {
    const RangeVerdict verdict = checkRangeEntry(kCriterionRule, text);
    if (!verdict.accepted) {
        numbers::failInput("criterion", fmt::format("The selection criterion {}.", verdict.reason));
    }
}

}  // namespace lamivex::iteration
