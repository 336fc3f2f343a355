#pragma once
// The seven crystal systems of the structure-analysis tool, named by the texts of its
// system list and compared as exact text.

#include <array>
#include <optional>
#include <string_view>

namespace lamivex::crystal {

enum class CrystalSystem {
    Cubic,
    Hexagonal,
    Monoclinic,
    Orthorhombic,
    Tetragonal,
    Triclinic,
    Trigonal
};

// In the order the system list shows them (alphabetical); the first is the default.
inline constexpr std::array<CrystalSystem, 7> kAllSystems{
    CrystalSystem::Cubic,        CrystalSystem::Hexagonal,  CrystalSystem::Monoclinic,
    CrystalSystem::Orthorhombic, CrystalSystem::Tetragonal, CrystalSystem::Triclinic,
    CrystalSystem::Trigonal};

[[nodiscard]] std::string_view systemName(CrystalSystem system);

// Exact, case-sensitive match of the list text ("Cubic", not "cubic").
[[nodiscard]] std::optional<CrystalSystem> systemFromName(std::string_view name);

}  // namespace lamivex::crystal
