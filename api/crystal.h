#pragma once
// The crystal calculator and crystal files: plane spacing, interplanar angle, angle between
// directions and cell volume of a cell of one of the seven systems, and the surface mesh of a
// plane of a crystal read from a CIF file. Lengths in Angstroms, angles in degrees.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crystal/crystal_cell.h"
#include "crystal/crystal_result.h"
#include "crystal/crystal_system.h"
#include "crystal/index_parse.h"
#include "crystal/surface_mesh.h"

namespace lamivex::api {

// One calculation: the texts as typed into the window's fields (or given on the command line),
// nullopt where left to the window's value.
struct CrystalRequest {
    std::string system = "Cubic";
    std::array<std::optional<std::string>, 6> cell;  // a, b, c, alpha, beta, gamma
    std::optional<std::string> plane;                // "h k l"
    std::optional<std::string> plane1, plane2;
    std::optional<std::string> dir1, dir2;  // "u v w"
    bool volume = false;
};

// One asked-for result: its JSON key ("spacing", "interplanar_angle", "direction_angle",
// "volume"), its readable heading and unit, and the value or why it has none.
struct CrystalAnswer {
    std::string_view key;
    std::string heading;
    std::string_view unit;
    crystal::CrystalResult result;
};

struct CrystalOutcome {
    crystal::CrystalSystem system = crystal::CrystalSystem::Cubic;
    crystal::CellFieldTexts fields;  // as the window holds them after the entries
    std::optional<crystal::MillerPlane> plane, plane1, plane2;
    std::optional<crystal::Direction> dir1, dir2;
    std::vector<CrystalAnswer> answers;
    std::vector<std::string> notes;  // options a system ignores, undefined results
};

// Throws numbers::InputError naming the option for input the window refuses; an undefined
// result is not an error.
[[nodiscard]] CrystalOutcome computeCrystal(const CrystalRequest& request);

// The spacing d of one plane in Angstroms, without the texts of a whole calculation: for
// callers that ask it many times. Refuses as computeCrystal does.
[[nodiscard]] crystal::CrystalResult planeSpacing(const CrystalRequest& request);

// The surface mesh of plane hkl ("1 1 1") of the crystal in path, with its name ("Cu(111)").
// Throws numbers::InputError naming fileOption for a file it cannot use and hklOption for
// indices it cannot read.
struct MeshFromFile {
    crystal::SurfaceMesh mesh;
    crystal::BulkLattice bulk;
    std::string name;
};
[[nodiscard]] MeshFromFile surfaceMesh(const std::string& path, const std::string& hkl,
                                       const std::string& fileOption = "file",
                                       const std::string& hklOption = "hkl");

}  // namespace lamivex::api
