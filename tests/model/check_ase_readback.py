#!/usr/bin/env python3
"""The files of lamivex-cli build read back by ASE, as a DFT user reads them: the CIF, the
POSCAR and the extended XYZ hold the same atoms, in the cell and the numbers worked out by hand
(tests/model/structure_model_test.cpp has the recipes)."""

import json
import os
import subprocess
import sys
import tempfile
from collections import Counter

import numpy as np
from ase.constraints import FixAtoms
from ase.io import read

CLI, DATA = sys.argv[1], sys.argv[2]

# name, arguments, |a| = |b| (Angstroms, gamma 60), atoms of each element, fixed atoms
CASES = [
    ("graphene 9x9 on Cu(111)",
     ["--substrate-cif", "cu_atoms.cif", "--substrate-hkl", "1 1 1",
      "--overlayer-cif", "graphene.cif", "--overlayer-hkl", "0 0 1",
      "--matrix", "5 5 -5 10", "--supercell", "9 9", "--layers", "3", "--fix-layers", "1"],
     22.137264, {"Cu": 3 * 75, "C": 81 * 2}, 75),
    # The scan finds (√3×√3)R30° itself once the registry tolerance allows the 1.18 % misfit
    # over its 7 × 7 domain: |2 × 4.75 / 4.805899 − 2| × 7 = 0.16.
    ("Xe on Pt(111) from a scan",
     ["--substrate-cif", "pt_atoms.cif", "--substrate-hkl", "1 1 1",
      "--overlayer-xyz", "xe_layer.xyz", "--m", "3", "--n", "3", "--lower", "20",
      "--upper", "40", "--spacing", "0.5", "--registry-tolerance", "0.2",
      "--layers", "4", "--fix-layers", "2"],
     4.805899, {"Pt": 4 * 3, "Xe": 1}, 6),
]

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def build(arguments, out):
    done = subprocess.run([CLI, "build", *arguments, "--vacuum", "12", "--out", out, "--json"],
                          cwd=DATA, capture_output=True, text=True)
    if done.returncode != 0:
        raise SystemExit(f"lamivex-cli build failed: {done.stderr}")
    return json.loads(done.stdout)


with tempfile.TemporaryDirectory() as folder:
    for name, arguments, length, counts, fixed in CASES:
        reference = None
        for file in ("model.cif", "POSCAR", "model.xyz"):
            path = os.path.join(folder, file)
            result = build(arguments, path)
            atoms = read(path)
            where = f"{name}, {file}"
            check(Counter(atoms.get_chemical_symbols()) == Counter(counts),
                  f"{where}: elements {Counter(atoms.get_chemical_symbols())}")
            a, b, c, alpha, beta, gamma = atoms.cell.cellpar()
            check(abs(a - length) < 1e-5 and abs(b - length) < 1e-5, f"{where}: a, b = {a}, {b}")
            check(abs(gamma - 60) < 1e-5 and abs(alpha - 90) < 1e-6 and abs(beta - 90) < 1e-6,
                  f"{where}: angles {alpha}, {beta}, {gamma}")
            check(abs(atoms.cell[0][1]) < 1e-9 and abs(atoms.cell[2][0]) < 1e-9,
                  f"{where}: a along x and c along z")
            check(result["substrate_atoms"] + result["overlayer_atoms"] == len(atoms),
                  f"{where}: the JSON counts {result['substrate_atoms']} + "
                  f"{result['overlayer_atoms']}")
            if file == "POSCAR":
                held = [i for k in atoms.constraints if isinstance(k, FixAtoms)
                        for i in k.get_indices()]
                check(len(held) == fixed, f"{where}: {len(held)} fixed atoms")
            # The same atoms in the same order, each to a hundred-millionth of its cell.
            if reference is None:
                reference = atoms
            else:
                check(reference.get_chemical_symbols() == atoms.get_chemical_symbols(),
                      f"{where}: another order of the elements")
                shift = atoms.get_scaled_positions() - reference.get_scaled_positions()
                shift -= np.round(shift)
                check(np.abs(shift).max() < 1e-8, f"{where}: atoms moved by {np.abs(shift).max()}")

# Refusals: exit status 2 and the one line that says why.
REFUSALS = [
    (["--substrate-cif", "pt_atoms.cif", "--overlayer-xyz", "xe_layer.xyz", "--m", "3", "--n",
      "3", "--lower", "20", "--upper", "40", "--spacing", "0.5", "--out", "model.cif"],
     "lamivex-cli build: no periodic cell: choose a supercell or a tolerance"),
    (["--substrate-cif", "cu.cif", "--overlayer-cif", "graphene.cif", "--matrix", "1 0 0 1",
      "--out", "model.cif"],
     "lamivex-cli build: --substrate-cif: cu.cif lists no atoms (_atom_site_fract_x, _y, _z): "
     "a plane without atoms gives no slab"),
    (["--substrate-cif", "cu_atoms.cif", "--overlayer-cif", "graphene.cif", "--matrix",
      "1 0 0 1", "--max-strain", "3", "--out", "model.cif"],
     "lamivex-cli build: the overlayer would be strained by 3.74 % (principal strains 3.74 % "
     "and 3.74 %), beyond the maximum strain of 3 %"),
    (["--substrate-cif", "cu_atoms.cif", "--overlayer-cif", "graphene.cif", "--matrix",
      "1 0 0 1", "--out", "model.txt"],
     "lamivex-cli build: --out: name the file *.cif, *.xyz, POSCAR or *.vasp, so that its "
     "format is known, not 'model.txt'"),
]
with tempfile.TemporaryDirectory() as folder:
    for arguments, message in REFUSALS:
        arguments = [os.path.join(folder, a) if a.startswith("model.") else a for a in arguments]
        done = subprocess.run([CLI, "build", *arguments], cwd=DATA, capture_output=True,
                              text=True)
        expected = message.replace("model.txt", os.path.join(folder, "model.txt"))
        check(done.returncode == 2 and done.stderr.strip() == expected,
              f"refusal {done.returncode}: {done.stderr.strip()!r}, expected {expected!r}")
        check(not os.listdir(folder), f"a refused build left {os.listdir(folder)}")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print(f"{len(CASES)} models read back by ASE from CIF, POSCAR and extended XYZ; "
      f"{len(REFUSALS)} refusals")
