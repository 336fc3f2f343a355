#include "api/lattice_request.h"

#include <charconv>
#include <filesystem>
#include <system_error>

#include <fmt/format.h>

#include "api/crystal.h"
#include "api/file_error.h"
#include "database/structure_record.h"
#include "database/structure_store.h"
#include "database/user_library.h"
#include "engine/interpretation.h"
#include "numbers/input_error.h"
#include "numbers/lattice_rules.h"
#include "numbers/number_text.h"

namespace lamivex::api {
namespace {

using database::TableKind;

const char* kindWord(TableKind kind) {
    return kind == TableKind::Substrate ? "substrate" : "overlayer";
}

// The field texts of the record named by "FILE:NAME" (the first ':' after which FILE names an
// existing file ends the file name, so names may hold ':' too), or by "NAME" alone in the
// user's library. FileError for option when the file cannot be read, InputError when it holds
// no such record.
database::LatticeFieldTexts latticeFromDatabase(TableKind kind, const std::string& fileAndName,
                                                const std::string& option,
                                                const Locations& locations) {
    const auto pick = [&](const std::string& file, const std::string& name, std::string_view hint) {
        database::DbResult<database::StructureStore> store = database::StructureStore::open(file);
        if (!store.ok()) {
            throw FileError(option, store.error);
        }
        auto found = store.value.findFirst(kind, name);
        if (!found.ok()) {
            throw FileError(option, found.error);
        }
        if (!found.value) {
            numbers::failInput(
                option, fmt::format("no {} named '{}' in {}{}", kindWord(kind), name, file, hint));
        }
        return database::fieldTextsOf(*found.value);
    };
    // The first ':' whose left side is an existing file splits FILE from NAME.
    for (std::size_t colon = fileAndName.find(':'); colon != std::string::npos;
         colon = fileAndName.find(':', colon + 1)) {
        const std::string file = fileAndName.substr(0, colon);
        std::error_code ec;
        if (std::filesystem::is_regular_file(file, ec)) {
            return pick(file, fileAndName.substr(colon + 1), "");
        }
    }
    const database::DbResult<std::filesystem::path> library =
        database::ensureUserLibrary(locations.starter);
    if (!library.ok()) {
        throw FileError(option, library.error);
    }
    return pick(library.value.string(), fileAndName,
                " (to take it from another database, give FILE:NAME)");
}

// Whether a record's cell is hexagonal: a1 = a2 at 60 degrees, however the numbers are written.
bool hexagonalRecord(const database::LatticeFieldTexts& texts) {
    const numbers::Parsed<double> a1 = numbers::toDouble(texts.length1);
    const numbers::Parsed<double> a2 = numbers::toDouble(texts.length2);
    const numbers::Parsed<double> alpha = numbers::toDouble(texts.angle);
    return a1.ok() && a2.ok() && alpha.ok() &&
           engine::hexagonalAtSixty({a1.value, a2.value, alpha.value});
}

std::optional<LatticePick> fromCrystal(const std::string& which, const std::string& file,
                                       const std::string& hkl) {
    if (file.empty() && hkl.empty()) {
        return std::nullopt;
    }
    if (file.empty() || hkl.empty()) {
        numbers::failInput(file.empty() ? which + "-cif" : which + "-hkl",
                           fmt::format("--{0}-cif and --{0}-hkl go together", which));
    }
    const MeshFromFile mesh = surfaceMesh(file, hkl, which + "-cif", which + "-hkl");
    return LatticePick{
        {mesh.name, crystal::meshFieldText(mesh.mesh.a1), crystal::meshFieldText(mesh.mesh.a2),
         crystal::meshFieldText(mesh.mesh.alpha)},
        mesh.mesh.hexagonal,
        "the surface mesh is hexagonal"};
}

// A value set wins; else the record's text; else the field keeps its default.
void fill(std::string& field, const std::optional<double>& given, const std::string* picked) {
    if (given) {
        field = numberText(*given);
    } else if (picked != nullptr) {
        field = *picked;
    }
}

}  // namespace

std::optional<LatticePick> pickLattice(TableKind kind, const std::string& from,
                                       const std::string& cif, const std::string& hkl,
                                       const Locations& locations) {
    const std::string which = kindWord(kind);
    std::optional<LatticePick> mesh = fromCrystal(which, cif, hkl);
    if (mesh && !from.empty()) {
        numbers::failInput(which + "-cif",
                           fmt::format("--{0}-cif and --{0}-from exclude each other", which));
    }
    if (mesh || from.empty()) {
        return mesh;
    }
    const database::LatticeFieldTexts picked =
        latticeFromDatabase(kind, from, which + "-from", locations);
    return LatticePick{picked, hexagonalRecord(picked),
                       "the record is a hexagonal cell (a1 = a2, alpha = 60)"};
}

std::string numberText(double value) {
    return fmt::format("{}", value);
}

ResolvedFields resolveFields(const LatticeRequest& r, const Locations& locations) {
    ResolvedFields out;
    engine::MainFieldTexts& f = out.fields;
    const std::optional<LatticePick> substrate = pickLattice(
        TableKind::Substrate, r.substrateFrom, r.substrateCif, r.substrateHkl, locations);
    const std::optional<LatticePick> overlayer = pickLattice(
        TableKind::Overlayer, r.overlayerFrom, r.overlayerCif, r.overlayerHkl, locations);
    const auto text = [](const std::optional<LatticePick>& p,
                         std::string database::LatticeFieldTexts::*m) {
        return p ? &((*p).texts.*m) : nullptr;
    };
    fill(f.a1, r.a1, text(substrate, &database::LatticeFieldTexts::length1));
    fill(f.a2, r.a2, text(substrate, &database::LatticeFieldTexts::length2));
    fill(f.alpha, r.alpha, text(substrate, &database::LatticeFieldTexts::angle));
    fill(f.b1, r.b1, text(overlayer, &database::LatticeFieldTexts::length1));
    fill(f.b2, r.b2, text(overlayer, &database::LatticeFieldTexts::length2));
    fill(f.beta, r.beta, text(overlayer, &database::LatticeFieldTexts::angle));
    f.SubName = r.substrateName.value_or(substrate ? substrate->texts.name : f.SubName);
    f.OverName = r.overlayerName.value_or(overlayer ? overlayer->texts.name : f.OverName);
    f.hexagonal = r.hexagonal.value_or(false);
    if (substrate && substrate->hexagonal && !r.nonHexagonal && !r.hexagonal) {
        f.hexagonal = true;
        out.symmetryTaken =
            fmt::format("hexagonal, as {}; --non-hexagonal turns it off", substrate->why);
    }
    if (r.nonHexagonal && r.hexagonal.value_or(false)) {
        numbers::failInput("non-hexagonal", "--hexagonal and --non-hexagonal exclude each other");
    }
    fill(f.b1size, r.m, nullptr);
    fill(f.b2size, r.n, nullptr);
    fill(f.Lowerangle, r.lower, nullptr);
    fill(f.Upperangle, r.upper, nullptr);
    fill(f.AngleSpacing, r.spacing, nullptr);
    f.chkgeo = r.maxMultiple.has_value();
    fill(f.txtUplim, r.maxMultiple, nullptr);
    return out;
}

void checkTolerance(double tolerance) {
    if (!(tolerance > 0) || !std::isfinite(tolerance)) {
        numbers::failInput("registry-tolerance",
                           fmt::format("expected a number above 0, in substrate spacings (got "
                                       "\"{}\")",
                                       numberText(tolerance)));
    }
}

void checkCoincidenceMisfit(double percent) {
    if (!(percent > 0) || !(percent <= 100)) {
        numbers::failInput("coincidence-misfit",
                           fmt::format("expected a percentage above 0 and at most 100 (got "
                                       "\"{}\")",
                                       numberText(percent)));
    }
}

void checkMatrix(const engine::Matrix2& m) {
    // Singular relative to its size, so 1e300 1e300 1e300 1e300 is refused like 1 1 1 1.
    if (const numbers::FieldVerdict verdict = numbers::checkMatrixRows(m.m11, m.m12, m.m21, m.m22);
        !verdict.accepted) {
        numbers::failInput("matrix", verdict.reason);
    }
}

engine::Matrix2 matrixFromText(std::string_view text, const std::string& option) {
    const std::optional<engine::Matrix2> matrix = engine::parseMatrixText(text);
    if (!matrix) {
        numbers::failInput(option, fmt::format("expected four numbers \"m11 m12 m21 m22\" "
                                               "(b1 = m11 a1 + m12 a2, b2 = m21 a1 + m22 a2), "
                                               "got \"{}\"",
                                               text));
    }
    if (const numbers::FieldVerdict verdict =
            numbers::checkMatrixRows(matrix->m11, matrix->m12, matrix->m21, matrix->m22);
        !verdict.accepted) {
        numbers::failInput(option, verdict.reason);
    }
    return *matrix;
}

int checkedThreads(std::optional<int> threads) {
    constexpr int kMaxThreads = 256;
    if (threads && (*threads < 1 || *threads > kMaxThreads)) {
        numbers::failInput("threads", fmt::format("Expected a whole number from 1 to {} (got "
                                                  "\"{}\").",
                                                  kMaxThreads, *threads));
    }
    return threads.value_or(0);
}

}  // namespace lamivex::api
