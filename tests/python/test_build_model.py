"""lamivex.build_model: the (√3×√3)R30° Xe layer on Pt(111) of the command line's tests.

Counted by hand: Pt a = 3.924 Å, so a(111) = 3.924/√2 = 2.77470 Å and the √3 cell edge
4.80592 Å; four layers of three Pt atoms and one Xe atom, strained from 4.75 Å by
4.80592/4.75 − 1 = +1.18 %.
"""
import math
import os

import pytest

import lamivex

DATA = os.environ.get("LAMIVEX_TEST_DATA", os.path.join(os.path.dirname(__file__), "..", "data"))
PT = os.path.join(DATA, "pt_atoms.cif")
XE = os.path.join(DATA, "xe_layer.xyz")


def test_model_as_ase_atoms_and_as_plain_values():
    ase = pytest.importorskip("ase")
    atoms = lamivex.build_model(substrate_cif=PT, overlayer_xyz=XE, matrix="1 1 -1 2",
                                supercell=(1, 1), fix_layers=2)
    assert isinstance(atoms, ase.Atoms)
    assert atoms.get_chemical_symbols().count("Pt") == 12
    assert atoms.get_chemical_symbols().count("Xe") == 1
    assert math.isclose(atoms.cell.lengths()[0], math.sqrt(3) * 3.924 / math.sqrt(2), rel_tol=1e-6)
    assert len(atoms.constraints[0].index) == 6
    plain = lamivex.build_model(substrate_cif=PT, overlayer_xyz=XE, matrix="1 1 -1 2",
                                supercell=(1, 1), as_ase=False)
    assert plain.symbols.count("Pt") == 12


def test_refusals_raise_value_error():
    with pytest.raises(ValueError, match="strain"):
        lamivex.build_model(substrate_cif=PT, overlayer_xyz=XE, matrix="2 0 0 2",
                            supercell=(1, 1), as_ase=False)
    with pytest.raises(TypeError):
        lamivex.build_model(substrate_cif=PT, overlayer_xyz=XE, matrix="1 1 -1 2",
                            supercell=(1, 1), layers="four")
