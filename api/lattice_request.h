#pragma once
// The lattices and run settings every run starts from, as typed values. A value left unset
// takes the main window's default or, when a database record or crystal file names the lattice,
// the record's value; a value set wins over the record, as a typed field does. The values go
// through the main window's entry rules, so a refusal reads as the window's and the command
// line's. Lengths in Angstroms, angles in degrees.

#include <optional>
#include <string>
#include <string_view>

#include "api/locations.h"
#include "database/structure_record.h"
#include "engine/interpretation.h"
#include "engine/lattice.h"
#include "lattice/lattice2d.h"

namespace lamivex::api {

struct LatticeRequest {
    std::optional<double> a1, a2, alpha;
    std::optional<bool> hexagonal;  // the third substrate wave (along a1 + a2) counts too
    std::optional<std::string> substrateName;
    std::optional<double> b1, b2, beta;
    std::optional<std::string> overlayerName;
    std::optional<double> m, n;                   // domain: cells -m..m along b1, -n..n along b2
    std::optional<double> lower, upper, spacing;  // azimuth range and increment, degrees
    std::optional<double> maxMultiple;            // set: search multiples of b1, b2 up to it
    // A lattice from elsewhere: "[FILE:]NAME" of a structure database (without FILE the user's
    // library), or the surface mesh of plane "h k l" of a CIF file.
    std::string substrateFrom, substrateCif, substrateHkl;
    std::string overlayerFrom, overlayerCif, overlayerHkl;
    bool nonHexagonal = false;  // keep a hexagonal record non-hexagonal

    void setSubstrate(const lattice::Lattice2D& lattice) {
        a1 = lattice.length1();
        a2 = lattice.length2();
        alpha = lattice.angle();
    }
    void setOverlayer(const lattice::Lattice2D& lattice) {
        b1 = lattice.length1();
        b2 = lattice.length2();
        beta = lattice.angle();
    }
    // b1, b2, beta, lower or upper set: what a matrix gives itself.
    [[nodiscard]] bool overlayerOrRangeGiven() const { return b1 || b2 || beta || lower || upper; }
};

// The main window's fields the request fills, and how a record set the symmetry (empty when
// it did not). Throws numbers::InputError naming the option for a record or file it cannot use.
struct ResolvedFields {
    engine::MainFieldTexts fields;
    std::string symmetryTaken;
};
[[nodiscard]] ResolvedFields resolveFields(const LatticeRequest& request,
                                           const Locations& locations);

// A lattice taken from elsewhere, as a database record fills the fields, and whether (and
// why) it is a hexagonal cell.
struct LatticePick {
    database::LatticeFieldTexts texts;
    bool hexagonal = false;
    const char* why = "";
};
// The substrate's or overlayer's lattice from a crystal file's plane (cif with hkl) or from a
// database record (from: "[FILE:]NAME", see --substrate-from), which exclude each other;
// nullopt when neither is given. InputError names --WHICH-cif, --WHICH-hkl or --WHICH-from;
// FileError a database that cannot be read.
[[nodiscard]] std::optional<LatticePick> pickLattice(database::TableKind kind,
                                                     const std::string& from,
                                                     const std::string& cif, const std::string& hkl,
                                                     const Locations& locations);

// A number as a field holds it when typed: the shortest text that reads back as value.
[[nodiscard]] std::string numberText(double value);

// The refusals every front end shares. Each throws numbers::InputError naming the option.
void checkTolerance(double tolerance);            // registry-tolerance: above 0
void checkCoincidenceMisfit(double percent);      // coincidence-misfit: above 0, at most 100
void checkMatrix(const engine::Matrix2& matrix);  // matrix: b1 and b2 not parallel
[[nodiscard]] int checkedThreads(std::optional<int> threads);  // threads: 1..256, unset: all
// "m11 m12 m21 m22" as a matrix; refused naming option.
[[nodiscard]] engine::Matrix2 matrixFromText(std::string_view text, const std::string& option);

}  // namespace lamivex::api
