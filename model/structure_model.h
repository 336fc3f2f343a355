#pragma once
// A structure model of an epitaxy solution: a slab of the substrate's plane with the
// overlayer on top, in the coincidence cell in which both are periodic.
//
// The cell: a along x, b in the xy plane, c along z (the surface normal v1 × v2 of the
// substrate's plane). The slab's bottom layer lies at z = 0, the vacuum above the overlayer.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/overlayer_layer.h"
#include "model/plane_layers.h"
#include "model/strain.h"
#include "model/vector_math.h"

namespace lamivex::model {

// The coincidence: the supercell (b1Multiple·b1, b2Multiple·b2) of the overlayer lies on the
// substrate supercell A1 = m11·a1 + m12·a2, A2 = m21·a1 + m22·a2 (whole numbers).
struct Coincidence {
    std::array<std::int64_t, 4> substrateMatrix{1, 0, 0, 1};  // m11, m12, m21, m22
    int b1Multiple = 1;
    int b2Multiple = 1;
    double azimuth = 0;  // degrees, from a1 to b1 before the overlayer is strained
};

struct BuildSettings {
    int layers = 4;                // atomic layers of the substrate
    double vacuum = 15;            // Angstroms above the overlayer's top atom
    std::optional<double> height;  // Angstroms from the top substrate layer to the overlayer's
                                   // lowest atom; none: the sum of van der Waals radii
    int termination = 1;           // which layer of the plane's period is on top, from 1
    int fixLayers = 0;             // the bottom layers marked fixed
    double maxStrainPercent = 5;   // refused beyond: the largest principal strain
    int maxAtoms = 5000;
    double mergeTolerance = 0.01;  // Angstroms: atoms of one element nearer are one atom
    double closeFraction = 0.8;    // pairs nearer than this times their usual distance
};

struct ModelAtom {
    std::string element;
    Vec3 position{};  // Cartesian, Angstroms
    bool substrate = true;
    int layer = 0;       // substrate layers 1 (top) to N (bottom); 0 for the overlayer
    bool fixed = false;  // one of the bottom fixLayers layers
};

// Two atoms nearer than closeFraction times the sum of their covalent radii.
struct ClosePair {
    std::size_t first = 0;  // indices into StructureModel::atoms
    std::size_t second = 0;
    double distance = 0;  // Angstroms, to the nearest periodic image
    double usual = 0;     // the sum of the covalent radii
};

struct StructureModel {
    std::array<Vec3, 3> cell{};  // a, b, c
    // Grouped by element in the order the elements first appear, substrate first, as a
    // POSCAR needs them.
    std::vector<ModelAtom> atoms;
    std::string substrateName;
    std::string overlayerName;
    Coincidence coincidence;
    BuildSettings settings;
    std::vector<std::string> terminations;  // the composition of each possible top layer
    double height = 0;                      // as used
    std::string heightSource;               // "given", or the radii it was summed from
    Strain strain;
    int substrateAtoms = 0;
    int overlayerAtoms = 0;
    int merged = 0;  // duplicates at the cell's edges left out
    std::vector<ClosePair> closePairs;

    // The model in a few lines of plain ASCII, for people and for the files' comments.
    [[nodiscard]] std::vector<std::string> description() const;
};

// Throws std::invalid_argument with the reason for a coincidence without a cell, settings out
// of range, a strain beyond settings.maxStrainPercent or more atoms than settings.maxAtoms.
[[nodiscard]] StructureModel buildModel(const PlaneLayers& substrate,
                                        const OverlayerLayer& overlayer,
                                        const Coincidence& coincidence,
                                        const BuildSettings& settings);

}  // namespace lamivex::model
