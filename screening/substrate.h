#pragma once
// The substrates of a screen, each one surface lattice as the main window takes it (field
// texts, so a scan of a pair reads exactly what a scan typed into the window reads), and
// where it came from. A crystal file that cannot be used stays in the list as one entry
// with its message, so the output names it and the rest is screened.

#include <filesystem>
#include <string>
#include <vector>

#include "database/structure_record.h"

namespace lamivex::screening {

enum class SubstrateSource { Record, Mesh, CrystalFile };

[[nodiscard]] const char* sourceName(SubstrateSource source);  // "record", "mesh", "cif"

struct Substrate {
    std::string name;   // "Au(111)" for a record, "Cu" for a crystal, the text of a mesh
    std::string plane;  // "(1 1 1)" for a crystal's plane, else empty
    SubstrateSource source = SubstrateSource::Record;
    std::string file;  // the crystal file, as it was named
    std::string a1;    // Angstroms and degrees, as field texts
    std::string a2;
    std::string alpha;
    bool hexagonal = false;  // a1 = a2 at 60°: the third substrate wave counts
    std::string error;       // not empty: nothing to screen, the reason

    friend bool operator==(const Substrate&, const Substrate&) = default;
};

// Whether a mesh is the main window's Hexagonal: a hexagonal lattice written with 60°.
[[nodiscard]] bool hexagonalMesh(double a1, double a2, double alpha);

// The records whose names match pattern (see name_pattern.h), in the order given.
[[nodiscard]] std::vector<Substrate> substratesFromRecords(
    const std::vector<database::StructureRecord>& records, const std::string& pattern);

// A mesh typed as "a1 a2 alpha". Throws numbers::InputError naming option.
[[nodiscard]] Substrate substrateFromMesh(const std::string& text, const std::string& option);

// Every distinct plane up to maxIndex of the crystal in path (see equivalent_planes.h), or
// one entry with the reason when the file cannot be used.
[[nodiscard]] std::vector<Substrate> substratesFromCrystalFile(const std::string& path,
                                                               int maxIndex);

// The CIF files (*.cif, any letter case) of a folder, by name, so every run and every shard
// lists them alike. Throws numbers::InputError naming option for a folder it cannot read.
[[nodiscard]] std::vector<std::string> crystalFilesIn(const std::filesystem::path& folder,
                                                      const std::string& option);

}  // namespace lamivex::screening
