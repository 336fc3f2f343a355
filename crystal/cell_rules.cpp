#include "crystal/cell_rules.h"

#include <cstddef>

#include "numbers/number_text.h"

namespace lamivex::crystal {
namespace {

constexpr FieldRule kFreeLength{false, kDefaultLengthText};
constexpr FieldRule kFixedLength{true, kDefaultLengthText};
constexpr FieldRule kFixed90{true, "90"};
constexpr FieldRule kFixed120{true, "120"};
constexpr FieldRule kFreeKeep{false, std::nullopt};
constexpr FieldRule kFixedKeep{true, std::nullopt};

}  // namespace

SystemFieldRules systemFieldRules(CrystalSystem system) {
    //            a            b             c             alpha      beta       gamma
    switch (system) {
        case CrystalSystem::Cubic:
            return {kFreeLength, kFixedLength, kFixedLength, kFixed90, kFixed90, kFixed90};
        case CrystalSystem::Hexagonal:
            return {kFreeLength, kFixedLength, kFreeLength, kFixed90, kFixed90, kFixed120};
        case CrystalSystem::Tetragonal:
            return {kFreeLength, kFixedLength, kFreeLength, kFixed90, kFixed90, kFixed90};
        case CrystalSystem::Orthorhombic:
            return {kFreeLength, kFreeLength, kFreeLength, kFixed90, kFixed90, kFixed90};
        case CrystalSystem::Monoclinic:
            return {kFreeLength, kFreeLength, kFreeLength, kFixed90, kFreeKeep, kFixed90};
        case CrystalSystem::Trigonal:
            return {kFreeLength, kFixedLength, kFixedLength, kFreeKeep, kFixedKeep, kFixedKeep};
        case CrystalSystem::Triclinic:
            return {kFreeLength, kFreeLength, kFreeLength, kFreeKeep, kFreeKeep, kFreeKeep};
    }
    return {};
}

FieldRule fieldRule(CrystalSystem system, CellField field) {
    return systemFieldRules(system)[static_cast<std::size_t>(field)];
}

void applySystemSelection(CrystalSystem system, CellFieldTexts& fields) {
    const SystemFieldRules rules = systemFieldRules(system);
    for (const CellField field : kCellFields) {
        const FieldRule& rule = rules[static_cast<std::size_t>(field)];
        if (rule.written) {
            fields[field] = std::string(*rule.written);
        }
    }
}

std::vector<CellField> copyTargets(CrystalSystem system, CellField field) {
    if (field == CellField::A) {
        switch (system) {
            case CrystalSystem::Cubic:
            case CrystalSystem::Trigonal:
                return {CellField::B, CellField::C};
            case CrystalSystem::Hexagonal:
            case CrystalSystem::Tetragonal:
                return {CellField::B};
            default:
                return {};
        }
    }
    if (field == CellField::Alpha && system == CrystalSystem::Trigonal) {
        return {CellField::Beta, CellField::Gamma};
    }
    return {};
}

bool isAcceptedEntry(CellField field, std::string_view text) {
    // A number too large for a double ("1e999") is refused too: read as a cell value it
    // would be infinite.
    const numbers::Parsed<double> parsed = numbers::toDouble(text);
    if (!parsed.ok()) {
        return false;
    }
    return field != CellField::Alpha || parsed.value <= kMaxAlphaDegrees;
}

bool isEmptiedWhenRefused(CellField field) {
    return field == CellField::A || field == CellField::Alpha;
}

EntryOutcome applyCellEntry(CrystalSystem system, CellField field, CellFieldTexts& fields) {
    EntryOutcome outcome;
    if (!isAcceptedEntry(field, fields[field])) {
        if (isEmptiedWhenRefused(field)) {
            fields[field].clear();
            outcome.fieldEmptied = true;
        }
        return outcome;
    }
    outcome.accepted = true;
    outcome.copiedTo = copyTargets(system, field);
    for (const CellField target : outcome.copiedTo) {
        fields[target] = fields[field];
    }
    if (field == CellField::C) {
        outcome.enableRecalculate = true;
    } else {
        outcome.recalculate = true;
    }
    return outcome;
}

CrystalCell cellForCalculation(CrystalSystem system, const CellFieldTexts& fields) {
    CellFieldTexts effective = fields;
    const SystemFieldRules rules = systemFieldRules(system);
    for (const CellField field : kCellFields) {
        const FieldRule& rule = rules[static_cast<std::size_t>(field)];
        if (rule.fixed && rule.written && isAngleField(field)) {
            effective[field] = std::string(*rule.written);
        }
    }
    for (const CellField source : {CellField::A, CellField::Alpha}) {
        for (const CellField target : copyTargets(system, source)) {
            effective[target] = fields[source];
        }
    }
    return readCell(effective);
}

}  // namespace lamivex::crystal
