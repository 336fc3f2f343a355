"""lamivex.build_model: a structure model of an epitaxy solution, as ase.Atoms when ASE is
installed (Debian's python3-ase), else as a StructureModel of plain values."""

from __future__ import annotations

import os
from dataclasses import dataclass, field
from typing import Callable, Optional, Sequence, Union

from . import _lamivex

Real = Union[int, float]
PathLike = Union[str, "os.PathLike[str]"]


@dataclass(frozen=True)
class StructureModel:
    """The model without ASE: cell rows a, b, c and positions in Angstroms, one symbol and one
    fixed flag per atom; strain, height and the files' texts (cif, poscar, xyz)."""
    cell: list
    positions: object  # numpy array, atoms × 3
    symbols: list
    fixed: list
    substrate: list
    substrate_matrix: tuple
    multiples: tuple
    azimuth: float
    strain: dict
    height: float
    height_source: str
    termination: int
    terminations: list
    merged: int
    close_pairs: list
    description: list
    inputs: list
    lamivex_version: str
    interpretation: Optional[dict]
    cif: str = field(repr=False)
    poscar: str = field(repr=False)
    xyz: str = field(repr=False)


def build_model(*, substrate_cif: PathLike, substrate_hkl: Union[str, Sequence[int]] = "1 1 1",
                overlayer_cif: Optional[PathLike] = None,
                overlayer_hkl: Union[str, Sequence[int]] = "0 0 1",
                overlayer_xyz: Optional[PathLike] = None,
                matrix: Union[str, Sequence[Sequence[Real]], None] = None,
                supercell: Optional[Sequence[int]] = None, layers: int = 4,
                vacuum: Real = 15, height: Optional[Real] = None, termination: int = 1,
                fix_layers: int = 0, max_strain: Real = 5, max_atoms: int = 5000,
                m: Optional[Real] = None, n: Optional[Real] = None,
                lower: Optional[Real] = None, upper: Optional[Real] = None,
                spacing: Optional[Real] = None, max_multiple: Optional[Real] = None,
                registry_tolerance: Real = 0.1, as_ase: Optional[bool] = None,
                progress: Optional[Callable[[float], object]] = None):
    """A slab of the substrate's plane with the overlayer strained on top in the coincidence
    cell, as ``lamivex-cli build`` makes it (the manual's "A structure model").

    The solution is the best of a scan (m, n, lower, upper, spacing, max_multiple,
    registry_tolerance), or matrix ("m11 m12 m21 m22", whole numbers) with supercell (i, j).
    Returns ase.Atoms (the bottom fix_layers layers under FixAtoms; strain, height and the
    description in atoms.info) when ASE is installed and as_ase is not False, else a
    StructureModel. Refusals raise ValueError with the command line's sentence.
    """
    arguments = dict(substrate_cif=substrate_cif, substrate_hkl=substrate_hkl,
                     overlayer_cif=overlayer_cif,
                     overlayer_hkl=overlayer_hkl if overlayer_cif is not None else None,
                     overlayer_xyz=overlayer_xyz, matrix=matrix, supercell=supercell,
                     layers=layers, vacuum=vacuum, height=height, termination=termination,
                     fix_layers=fix_layers, max_strain=max_strain, max_atoms=max_atoms, m=m,
                     n=n, lower=lower, upper=upper, spacing=spacing,
                     max_multiple=max_multiple, registry_tolerance=registry_tolerance)
    model = StructureModel(**_lamivex._build_model(arguments, progress))
    if as_ase is False:
        return model
    try:
        from ase import Atoms
        from ase.constraints import FixAtoms
    except ImportError:
        if as_ase:
            raise
        return model
    atoms = Atoms(symbols=model.symbols, positions=model.positions, cell=model.cell, pbc=True)
    if any(model.fixed):
        atoms.set_constraint(FixAtoms(mask=model.fixed))
    atoms.info.update(substrate_matrix=model.substrate_matrix, multiples=model.multiples,
                      strain=model.strain, height=model.height,
                      description=model.description, lamivex_version=model.lamivex_version)
    return atoms
