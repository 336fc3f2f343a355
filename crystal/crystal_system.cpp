#include "crystal/crystal_system.h"

namespace lamivex::crystal {

std::string_view systemName(CrystalSystem system) {
    switch (system) {
        case CrystalSystem::Cubic:
            return "Cubic";
        case CrystalSystem::Hexagonal:
            return "Hexagonal";
        case CrystalSystem::Monoclinic:
            return "Monoclinic";
        case CrystalSystem::Orthorhombic:
            return "Orthorhombic";
        case CrystalSystem::Tetragonal:
            return "Tetragonal";
        case CrystalSystem::Triclinic:
            return "Triclinic";
        case CrystalSystem::Trigonal:
            return "Trigonal";
    }
    return {};
}

std::optional<CrystalSystem> systemFromName(std::string_view name) {
    for (const CrystalSystem system : kAllSystems) {
        if (systemName(system) == name) {
            return system;
        }
    }
    return std::nullopt;
}

}  // namespace lamivex::crystal
