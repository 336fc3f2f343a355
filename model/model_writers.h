#pragma once
// A structure model as CIF (space group P 1, fractional coordinates), VASP POSCAR (selective
// dynamics: the fixed layers F F F) and extended XYZ (Lattice="..." and pbc="T T T"), each
// with the model's description, the run's inputs and the program's version in its comments.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "model/structure_model.h"

namespace lamivex::model {

struct Provenance {
    std::string version;              // "5.0"
    std::vector<std::string> inputs;  // one "name: value" per line, plain ASCII
};

enum class ModelFormat { Cif, Poscar, ExtendedXyz };

// By the file's name: *.cif, *.xyz, and POSCAR, CONTCAR or *.vasp; nullopt otherwise.
[[nodiscard]] std::optional<ModelFormat> modelFormatOf(const std::string& path);

void writeCif(std::ostream& out, const StructureModel& model, const Provenance& provenance);
void writePoscar(std::ostream& out, const StructureModel& model, const Provenance& provenance);
void writeExtendedXyz(std::ostream& out, const StructureModel& model, const Provenance& provenance);
void writeModel(std::ostream& out, ModelFormat format, const StructureModel& model,
                const Provenance& provenance);

}  // namespace lamivex::model
