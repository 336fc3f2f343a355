#include "screening/substrate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>
#include <stdexcept>

#include <fmt/format.h>

#include "crystal/crystal_file.h"
#include "crystal/surface_mesh.h"
#include "engine/interpretation.h"
#include "lattice/lattice2d.h"
#include "numbers/input_error.h"
#include "screening/equivalent_planes.h"
#include "screening/name_pattern.h"

namespace lamivex::screening {

const char* sourceName(SubstrateSource source) {
    switch (source) {
        case SubstrateSource::Record:
            return "record";
        case SubstrateSource::Mesh:
            return "mesh";
        case SubstrateSource::CrystalFile:
            return "cif";
    }
    return "record";
}

bool hexagonalMesh(double a1, double a2, double alpha) {
    return engine::hexagonalAtSixty({a1, a2, alpha});
}

std::vector<Substrate> substratesFromRecords(const std::vector<database::StructureRecord>& records,
                                             const std::string& pattern) {
    std::vector<Substrate> out;
    for (const database::StructureRecord& record : records) {
        if (!matchesPattern(record.name, pattern)) {
            continue;
        }
        const database::LatticeFieldTexts texts = database::fieldTextsOf(record);
        Substrate s;
        s.name = record.name;
        s.source = SubstrateSource::Record;
        s.a1 = texts.length1;
        s.a2 = texts.length2;
        s.alpha = texts.angle;
        s.hexagonal = hexagonalMesh(record.length1, record.length2, record.angle);
        out.push_back(std::move(s));
    }
    return out;
}

Substrate substrateFromMesh(const std::string& text, const std::string& option) {
    std::istringstream in(text);
    std::string words[3];
    std::string extra;
    in >> words[0] >> words[1] >> words[2];
    double values[3] = {};
    bool numbers = !words[2].empty() && !(in >> extra);
    for (int i = 0; numbers && i < 3; ++i) {
        const char* end = words[i].data() + words[i].size();
        const auto [stop, ec] = std::from_chars(words[i].data(), end, values[i]);
        numbers = ec == std::errc() && stop == end && std::isfinite(values[i]);
    }
    if (!numbers) {
        numbers::failInput(option,
                           fmt::format("expected \"a1 a2 alpha\", three numbers, got '{}'", text));
    }
    try {
        const lattice::Lattice2D check(values[0], values[1], values[2]);
    } catch (const numbers::InputError& e) {
        numbers::failInput(option, fmt::format("'{}': {}", text, e.what()));
    }
    Substrate s;
    s.name = fmt::format("{} {} {}", words[0], words[1], words[2]);
    s.source = SubstrateSource::Mesh;
    s.a1 = words[0];
    s.a2 = words[1];
    s.alpha = words[2];
    s.hexagonal = hexagonalMesh(values[0], values[1], values[2]);
    return s;
}

std::vector<Substrate> substratesFromCrystalFile(const std::string& path, int maxIndex) {
    Substrate unusable;
    unusable.name = std::filesystem::path(path).filename().string();
    unusable.source = SubstrateSource::CrystalFile;
    unusable.file = path;
    std::vector<Substrate> out;
    try {
        const crystal::BulkLattice bulk = crystal::readCrystalFile(path);
        for (const Miller& hkl : distinctPlanes(bulk.spaceGroup, maxIndex)) {
            const crystal::SurfaceMesh mesh = crystal::surfaceMesh(bulk, hkl);
            Substrate s;
            s.name = bulk.name;
            // meshName writes the crystal's name and then the plane as it names planes.
            s.plane = crystal::meshName(bulk, mesh).substr(bulk.name.size());
            s.source = SubstrateSource::CrystalFile;
            s.file = path;
            s.a1 = crystal::meshFieldText(mesh.a1);
            s.a2 = crystal::meshFieldText(mesh.a2);
            s.alpha = crystal::meshFieldText(mesh.alpha);
            s.hexagonal = mesh.hexagonal;
            out.push_back(std::move(s));
        }
    } catch (const std::invalid_argument& e) {
        unusable.error = e.what();
        return {unusable};
    }
    return out;
}

std::vector<std::string> crystalFilesIn(const std::filesystem::path& folder,
                                        const std::string& option) {
    std::vector<std::string> files;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec) {
        numbers::failInput(
            option, fmt::format("cannot read the folder '{}': {}", folder.string(), ec.message()));
    }
    for (const std::filesystem::directory_entry& entry : it) {
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (extension == ".cif" && !entry.is_directory()) {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace lamivex::screening
