#include "model/model_writers.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <string_view>
#include <utility>

#include <fmt/format.h>
#include <fmt/ostream.h>

namespace lamivex::model {
namespace {

constexpr double kDegree = 3.14159265358979323846 / 180;

// The atoms' fractions of the cell; the cell has c along z.
Vec3 fractionOf(const StructureModel& model, const Vec3& r) {
    return product(inverse(columns(model.cell[0], model.cell[1], model.cell[2])), r);
}

std::string version(const Provenance& provenance) {
    return fmt::format("Lamivex {}", provenance.version);
}

// Quotes and line ends would end a comment or a quoted value early, and a POSCAR or CIF
// comment is best kept to ASCII.
std::string plain(std::string text) {
    for (const auto& [from, to] : {std::pair<std::string_view, std::string_view>{"√", "sqrt"},
                                   {"×", "x"},
                                   {"°", " deg"},
                                   {"Å", "A"},
                                   {"−", "-"}}) {
        for (std::size_t at = text.find(from); at != std::string::npos;
             at = text.find(from, at + to.size())) {
            text.replace(at, from.size(), to);
        }
    }
    std::ranges::replace(text, '"', '\'');
    std::ranges::replace(text, '\n', ' ');
    std::ranges::replace(text, '\r', ' ');
    return text;
}

}  // namespace

std::optional<ModelFormat> modelFormatOf(const std::string& path) {
    const std::filesystem::path p(path);
    std::string extension = p.extension().string();
    std::ranges::transform(extension, extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const std::string stem = p.filename().string();
    if (extension == ".cif") {
        return ModelFormat::Cif;
    }
    if (extension == ".xyz") {
        return ModelFormat::ExtendedXyz;
    }
    if (extension == ".vasp" || stem.starts_with("POSCAR") || stem.starts_with("CONTCAR")) {
        return ModelFormat::Poscar;
    }
    return std::nullopt;
}

void writeCif(std::ostream& out, const StructureModel& model, const Provenance& provenance) {
    fmt::print(out, "# Structure model written by {}\n", version(provenance));
    for (const std::string& line : model.description()) {
        fmt::print(out, "# {}\n", plain(line));
    }
    for (const std::string& line : provenance.inputs) {
        fmt::print(out, "# input {}\n", plain(line));
    }
    const double a = length(model.cell[0]);
    const double b = length(model.cell[1]);
    const double c = length(model.cell[2]);
    const double gamma = std::atan2(model.cell[1][1], model.cell[1][0]) / kDegree;
    fmt::print(out,
               "data_lamivex_model\n"
               "_audit_creation_method '{}'\n"
               "_cell_length_a {:.8f}\n_cell_length_b {:.8f}\n_cell_length_c {:.8f}\n"
               "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma {:.8f}\n"
               "_symmetry_space_group_name_H-M 'P 1'\n_space_group_IT_number 1\n"
               "loop_\n_symmetry_equiv_pos_as_xyz\n'x, y, z'\n"
               "loop_\n_atom_site_label\n_atom_site_type_symbol\n"
               "_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n",
               version(provenance), a, b, c, gamma);
    std::map<std::string, int> numbers;
    for (const ModelAtom& atom : model.atoms) {
        const Vec3 f = fractionOf(model, atom.position);
        fmt::print(out, "{}{} {} {:.10f} {:.10f} {:.10f}\n", atom.element, ++numbers[atom.element],
                   atom.element, f[0], f[1], f[2]);
    }
}

void writePoscar(std::ostream& out, const StructureModel& model, const Provenance& provenance) {
    // The first line is the file's only comment: the description on one line.
    std::string comment;
    for (const std::string& line : model.description()) {
        comment += plain(line) + " | ";
    }
    for (const std::string& line : provenance.inputs) {
        comment += plain(line) + "; ";
    }
    fmt::print(out, "{}{}\n1.0\n", comment, version(provenance));
    for (const Vec3& v : model.cell) {
        fmt::print(out, "  {:.10f} {:.10f} {:.10f}\n", v[0], v[1], v[2]);
    }
    std::vector<std::pair<std::string, int>> counts;  // the atoms are grouped by element
    for (const ModelAtom& atom : model.atoms) {
        if (counts.empty() || counts.back().first != atom.element) {
            counts.emplace_back(atom.element, 0);
        }
        ++counts.back().second;
    }
    for (const auto& [element, count] : counts) {
        fmt::print(out, " {}", element);
    }
    fmt::print(out, "\n");
    for (const auto& [element, count] : counts) {
        fmt::print(out, " {}", count);
    }
    fmt::print(out, "\nSelective dynamics\nDirect\n");
    for (const ModelAtom& atom : model.atoms) {
        const Vec3 f = fractionOf(model, atom.position);
        const char* flags = atom.fixed ? "F F F" : "T T T";
        fmt::print(out, "  {:.10f} {:.10f} {:.10f} {}\n", f[0], f[1], f[2], flags);
    }
}

void writeExtendedXyz(std::ostream& out, const StructureModel& model,
                      const Provenance& provenance) {
    const auto& m = model.coincidence.substrateMatrix;
    fmt::print(out, "{}\n", model.atoms.size());
    fmt::print(out, "Lattice=\"");
    for (std::size_t k = 0; k < 3; ++k) {
        const Vec3& v = model.cell[k];
        fmt::print(out, "{}{:.10f} {:.10f} {:.10f}", k == 0 ? "" : " ", v[0], v[1], v[2]);
    }
    std::string inputs;
    for (const std::string& line : provenance.inputs) {
        inputs += (inputs.empty() ? "" : "; ") + plain(line);
    }
    std::string description;
    for (const std::string& line : model.description()) {
        description += (description.empty() ? "" : " | ") + plain(line);
    }
    fmt::print(out,
               "\" Properties=species:S:1:pos:R:3 pbc=\"T T T\" substrate_matrix=\"{} {} {} {}\" "
               "multiples=\"{} {}\" strain_principal_percent=\"{:.6f} {:.6f}\" "
               "area_change_percent={:.6f} lamivex_version=\"{}\" description=\"{}\" "
               "inputs=\"{}\"\n",
               m[0], m[1], m[2], m[3], model.coincidence.b1Multiple, model.coincidence.b2Multiple,
               model.strain.principalPercent[0], model.strain.principalPercent[1],
               model.strain.areaPercent, plain(provenance.version), description, inputs);
    for (const ModelAtom& atom : model.atoms) {
        fmt::print(out, "{:<2} {:16.10f} {:16.10f} {:16.10f}\n", atom.element, atom.position[0],
                   atom.position[1], atom.position[2]);
    }
}

void writeModel(std::ostream& out, ModelFormat format, const StructureModel& model,
                const Provenance& provenance) {
    switch (format) {
        case ModelFormat::Cif:
            writeCif(out, model, provenance);
            return;
        case ModelFormat::Poscar:
            writePoscar(out, model, provenance);
            return;
        case ModelFormat::ExtendedXyz:
            writeExtendedXyz(out, model, provenance);
            return;
    }
}

}  // namespace lamivex::model
