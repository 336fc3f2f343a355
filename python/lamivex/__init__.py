"""Lamivex: epitaxy of an overlayer lattice on a substrate lattice.

Lengths are in Angstroms and angles in degrees. The matrix convention is
b1 = m11 a1 + m12 a2, b2 = m21 a1 + m22 a2; the azimuth runs from a1 to b1. V/Vo has no
unit: 1 means no registry, lower values a better fit.

A value the program's windows refuse raises ValueError with the sentence ``lamivex-cli``
prints; a value of the wrong type raises TypeError. Runs release the GIL, stop on Ctrl-C
(KeyboardInterrupt) and pass on an exception raised by the progress callback unchanged.
"""

from __future__ import annotations

import os
from typing import Callable, Optional, Sequence, Union

from . import _lamivex
from ._lamivex import (IterationResult, Lattice2D, LeedFit, LeedView,  # noqa: F401
                       RealSpaceView, ScanResult)
from .screening import ScreenResult, screen  # noqa: F401
from .structure_model import StructureModel, build_model  # noqa: F401

__version__ = _lamivex.__version__
__all__ = ["Lattice2D", "scan", "iterate", "view_leed", "view_real_space", "surface_mesh",
           "crystal", "ScanResult", "IterationResult", "LeedView", "RealSpaceView"]
__all__ += ["screen", "ScreenResult", "build_model", "StructureModel", "fit_leed", "LeedFit"]

Real = Union[int, float]
PathLike = Union[str, "os.PathLike[str]"]
Matrix = Union[str, Sequence[Sequence[Real]]]
Range = Union[str, Sequence[Real]]
Progress = Optional[Callable[[float], object]]


def scan(substrate: Optional[Lattice2D] = None, overlayer: Optional[Lattice2D] = None, *,
         a1: Optional[Real] = None, a2: Optional[Real] = None, alpha: Optional[Real] = None,
         hexagonal: Optional[bool] = None, b1: Optional[Real] = None,
         b2: Optional[Real] = None, beta: Optional[Real] = None,
         m: Optional[Real] = None, n: Optional[Real] = None,
         lower: Optional[Real] = None, upper: Optional[Real] = None,
         spacing: Optional[Real] = None, max_multiple: Optional[Real] = None,
         substrate_name: Optional[str] = None, overlayer_name: Optional[str] = None,
         substrate_from: Optional[str] = None, overlayer_from: Optional[str] = None,
         substrate_cif: Optional[PathLike] = None, substrate_hkl: Union[str, Sequence[int], None] = None,
         overlayer_cif: Optional[PathLike] = None, overlayer_hkl: Union[str, Sequence[int], None] = None,
         non_hexagonal: bool = False, matrix: Optional[Matrix] = None, at_angle: bool = False,
         fast: bool = False, threads: Optional[int] = None, registry_tolerance: Real = 0.1,
         coincidence_misfit: Real = 5, plot: Optional[PathLike] = None, size: Union[str, Sequence[Real], None] = None,
         dpi: Optional[Real] = None, font_size: Real = 10,
         progress: Progress = None) -> ScanResult:
    """Rotate the overlayer through the azimuth range and find the best orientation.

    substrate, overlayer: Lattice2D (a1, a2, alpha and b1, b2, beta; Angstroms, degrees), or
    give a1, a2, alpha, b1, b2, beta one by one (defaults 10 Å, 10 Å, 90°). hexagonal: the
    third substrate wave (along a1 + a2) counts too. m, n: the domain spans -m..m cells along
    b1 and -n..n along b2 (default 25). lower, upper, spacing: the azimuth range and step,
    degrees (defaults 0, 60, 0.25). max_multiple: search supercells of b1 and b2 up to this
    multiple. substrate_from / overlayer_from: "[FILE:]NAME" of a structure database (your
    own library without FILE); substrate_cif with substrate_hkl ("1 1 1" or (1, 1, 1)): the
    surface mesh of a crystal file's plane. matrix: the overlayer as [[m11, m12], [m21, m22]]
    (or "m11 m12 m21 m22"), scanned one step either side of its azimuth; at_angle: only that
    orientation. fast: the vectorised kernel (last digits may differ). threads: passes at
    once (default every core). registry_tolerance: how near a whole number a matrix element
    must be, in substrate spacings across the domain. coincidence_misfit: the largest length
    misfit (%) of a nearest coincidence an incommensurate result names. plot: also write the V/Vo graph there
    (.png, .svg, .pdf) with size ("160x120mm"), dpi (144) and font_size (points).
    progress: called with the fraction done (0..1).
    """
    arguments = dict(locals())
    progress = arguments.pop("progress")
    return _lamivex._scan(arguments, progress)


def iterate(substrate: Optional[Lattice2D] = None, overlayer: Optional[Lattice2D] = None, *,
            a1: Optional[Real] = None, a2: Optional[Real] = None, alpha: Optional[Real] = None,
            hexagonal: Optional[bool] = None, b1: Optional[Real] = None,
            b2: Optional[Real] = None, beta: Optional[Real] = None,
            m: Optional[Real] = None, n: Optional[Real] = None,
            lower: Optional[Real] = None, upper: Optional[Real] = None,
            spacing: Optional[Real] = None, max_multiple: Optional[Real] = None,
            substrate_name: Optional[str] = None, overlayer_name: Optional[str] = None,
            substrate_from: Optional[str] = None, overlayer_from: Optional[str] = None,
            substrate_cif: Optional[PathLike] = None, substrate_hkl: Union[str, Sequence[int], None] = None,
            overlayer_cif: Optional[PathLike] = None, overlayer_hkl: Union[str, Sequence[int], None] = None,
            non_hexagonal: bool = False, iterate: str = "overlayer", rigid: bool = False,
            b1_range: Optional[Range] = None, b2_range: Optional[Range] = None,
            beta_range: Optional[Range] = None, a1_range: Optional[Range] = None,
            a2_range: Optional[Range] = None, alpha_range: Optional[Range] = None,
            fix: Union[str, Sequence[str], None] = None, criterion: Real = 0.8,
            exhaustive: bool = False, threads: Optional[int] = None,
            registry_tolerance: Real = 0.1, coincidence_misfit: Real = 5,
            plot: Optional[PathLike] = None,
            size: Union[str, Sequence[Real], None] = None, dpi: Optional[Real] = None,
            font_size: Real = 10, progress: Progress = None) -> IterationResult:
    """Scan every trial lattice of the ranges and keep those whose best V/Vo is below criterion.

    The lattice arguments are those of scan. iterate: "overlayer" (ranges of b1, b2, beta) or
    "substrate" (a1, a2, alpha); rigid: a substrate run with a1 = a2. A range is (low, high,
    increment) in Angstroms or degrees (or "LOW:HIGH:INC"); a constant without a range keeps
    its value. fix: constants that keep their value ("b1,beta" or ["b1", "beta"]).
    criterion: V/Vo below which a trial matches. exhaustive: compute every step of every trial.
    threads: default every core (the result does not depend on it). plot: also write the
    histogram of hits there. progress: called with the fraction of trials done.
    """
    arguments = dict(locals())
    progress = arguments.pop("progress")
    return _lamivex._iterate(arguments, progress)


def view_real_space(substrate: Optional[Lattice2D] = None, overlayer: Optional[Lattice2D] = None, *,
                    a1: Optional[Real] = None, a2: Optional[Real] = None,
                    alpha: Optional[Real] = None, hexagonal: Optional[bool] = None,
                    b1: Optional[Real] = None, b2: Optional[Real] = None,
                    beta: Optional[Real] = None, m: Optional[Real] = None,
                    n: Optional[Real] = None, lower: Optional[Real] = None,
                    upper: Optional[Real] = None, spacing: Optional[Real] = None,
                    max_multiple: Optional[Real] = None, substrate_name: Optional[str] = None,
                    overlayer_name: Optional[str] = None, substrate_from: Optional[str] = None,
                    overlayer_from: Optional[str] = None,
                    substrate_cif: Optional[PathLike] = None, substrate_hkl: Union[str, Sequence[int], None] = None,
                    overlayer_cif: Optional[PathLike] = None, overlayer_hkl: Union[str, Sequence[int], None] = None,
                    non_hexagonal: bool = False, matrix: Optional[Matrix] = None,
                    angle: Optional[Real] = None, b1_multiple: Optional[Real] = None,
                    b2_multiple: Optional[Real] = None, zoom: Real = 1,
                    out: Optional[PathLike] = None, size: Union[str, Sequence[Real], None] = None,
                    dpi: Optional[Real] = None) -> RealSpaceView:
    """The overlayer points on the substrate at one azimuth, each with its registry (its
    distance to the nearest substrate site, in substrate spacings); lengths in Angstroms.

    The lattice arguments are those of scan. matrix: the overlayer at the matrix's azimuth;
    angle: the azimuth in degrees (default: the best orientation of the scan the arguments
    describe); b1_multiple, b2_multiple: the supercell outlined; zoom: 1..1000. out: also
    write the picture there (.png, .svg, .pdf), size 800 pixels wide by default, dpi 96.
    """
    return _lamivex._view_real_space(dict(locals()))


def view_leed(substrate: Optional[Lattice2D] = None, overlayer: Optional[Lattice2D] = None, *,
              a1: Optional[Real] = None, a2: Optional[Real] = None, alpha: Optional[Real] = None,
              hexagonal: Optional[bool] = None, b1: Optional[Real] = None,
              b2: Optional[Real] = None, beta: Optional[Real] = None,
              m: Optional[Real] = None, n: Optional[Real] = None,
              lower: Optional[Real] = None, upper: Optional[Real] = None,
              spacing: Optional[Real] = None, max_multiple: Optional[Real] = None,
              substrate_name: Optional[str] = None, overlayer_name: Optional[str] = None,
              substrate_from: Optional[str] = None, overlayer_from: Optional[str] = None,
              substrate_cif: Optional[PathLike] = None, substrate_hkl: Union[str, Sequence[int], None] = None,
              overlayer_cif: Optional[PathLike] = None, overlayer_hkl: Union[str, Sequence[int], None] = None,
              non_hexagonal: bool = False, matrix: Optional[Matrix] = None,
              angle: Optional[Real] = None, b1_multiple: Optional[Real] = None,
              b2_multiple: Optional[Real] = None, zoom: Real = 1, energy: Real = 60,
              domains: str = "all", no_mirror: bool = False, multiple_scattering: bool = False,
              one_colour: bool = False, out: Optional[PathLike] = None,
              size: Union[str, Sequence[Real], None] = None,
              dpi: Optional[Real] = None) -> LeedView:
    """The LEED pattern at normal incidence, with every domain of the substrate's symmetry.

    The arguments are those of view_real_space, and: energy in eV; domains "all" or "one";
    no_mirror: leave out the mirrored domains; multiple_scattering: the double-diffraction
    spots too; one_colour: every domain drawn in one colour.
    """
    return _lamivex._view_leed(dict(locals()))


def fit_leed(spots: Optional[Sequence[Sequence[object]]] = None,
             substrate: Optional[Lattice2D] = None, *,
             kinds: Optional[Sequence[str]] = None, image: Optional[PathLike] = None,
             a1: Optional[Real] = None, a2: Optional[Real] = None, alpha: Optional[Real] = None,
             hexagonal: Optional[bool] = None, substrate_name: Optional[str] = None,
             substrate_from: Optional[str] = None, substrate_cif: Optional[PathLike] = None,
             substrate_hkl: Union[str, Sequence[int], None] = None, non_hexagonal: bool = False,
             centre: Optional[Sequence[Real]] = None, energy: Optional[Real] = None,
             mirrors: bool = True, domains: str = "all", affine: bool = False,
             threshold: Optional[Real] = None) -> LeedFit:
    """Fit the overlayer's cell to a measured LEED pattern, as ``lamivex-cli fit leed``.

    spots: rows (x, y) or (x, y, kind), x to the right and y downwards in pixels or any linear
    unit, as a numpy array or a sequence; kind is "substrate", "overlayer" or "" (unknown), or
    give kinds apart. Mark the substrate's spots when the overlayer is commensurate. Or image:
    a PNG, JPEG or TIFF picture whose spots are found first, those above threshold grey levels
    over the background (default 6 times the image's noise). The substrate as for scan
    (substrate, or a1, a2 in Angstroms and alpha in degrees, hexagonal, substrate_from, ...).
    centre: the (0,0) spot (x, y) in the spots' unit (default: from the pattern's inversion
    symmetry); energy: electron energy in eV, orders beyond the Ewald sphere are not expected;
    mirrors: the substrate's mirrored domains too; domains: "all" the domains of the
    substrate's symmetry, "one" the cell as it lies; affine: fit a small affine distortion of
    the camera. Spots that give no cell raise ValueError with the command line's sentence.
    """
    return _lamivex._fit_leed(dict(locals()))


def surface_mesh(path: PathLike, hkl: Union[str, Sequence[int]] = (1, 1, 1)) -> dict:
    """The surface mesh of plane hkl ("1 1 1" or (1, 1, 1)) of the crystal in a CIF file:
    a1, a2 (Angstroms), alpha (degrees), mesh_type, hexagonal, the basis vectors and the
    plane spacing, as ``lamivex-cli surface --json`` prints them."""
    return _lamivex._surface_mesh(path, hkl)


class _Crystal:
    """The crystal calculator: a cell of one of the seven systems (Angstroms, degrees)."""

    @staticmethod
    def compute(system: str = "Cubic", *, a: Optional[Real] = None, b: Optional[Real] = None,
                c: Optional[Real] = None, alpha: Optional[Real] = None,
                beta: Optional[Real] = None, gamma: Optional[Real] = None,
                plane: Union[str, Sequence[int], None] = None,
                plane1: Union[str, Sequence[int], None] = None,
                plane2: Union[str, Sequence[int], None] = None,
                dir1: Union[str, Sequence[Real], None] = None,
                dir2: Union[str, Sequence[Real], None] = None, volume: bool = False) -> dict:
        """Plane spacing (Angstroms), interplanar angle and angle between directions
        (degrees) and cell volume (cubic Angstroms), as ``lamivex-cli crystal --json``."""
        return _lamivex._crystal(dict(locals()))

    @staticmethod
    def plane_spacing(system: str = "Cubic", *, plane: Union[str, Sequence[int]],
                      a: Optional[Real] = None, b: Optional[Real] = None,
                      c: Optional[Real] = None, alpha: Optional[Real] = None,
                      beta: Optional[Real] = None, gamma: Optional[Real] = None) -> float:
        """The spacing d of plane ("h k l" or (h, k, l)) in Angstroms; nan where undefined."""
        return _lamivex._plane_spacing(dict(locals()))


crystal = _Crystal()
