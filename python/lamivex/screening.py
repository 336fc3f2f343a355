"""lamivex.screen: one overlayer against many substrates, on this machine or on a Dask cluster.

The screen is the command line's ``lamivex-cli screen``: the same work list, the same ranking
and, split into shards and merged again, the same bytes as one run.
"""

from __future__ import annotations

import json
import os
import tempfile
from typing import Any, Dict, List, Optional, Sequence, Union

from . import _lamivex

Real = Union[int, float]
PathLike = Union[str, "os.PathLike[str]"]

__all__ = ["screen", "ScreenResult"]


class ScreenResult:
    """The ranked pairs of a screen.

    results: one dict per screened pair, best first (rank, substrate, plane, mesh, vvo, angle,
    matrix, b1_multiple, b2_multiple, interpretation); errors: the pairs that could not be
    screened and why; inputs: what repeats the screen; json: the whole object.
    """

    def __init__(self, data: Dict[str, Any]) -> None:
        self.json = data
        self.results: List[Dict[str, Any]] = data["results"]
        self.errors: List[Dict[str, Any]] = data["errors"]
        self.inputs: Dict[str, Any] = data["inputs"]

    def __len__(self) -> int:
        return len(self.results)

    def __repr__(self) -> str:
        best = self.results[0] if self.results else None
        head = (f", best {best['substrate']}{best['plane']} V/Vo {best['vvo']:.3g}"
                if best else "")
        return f"<ScreenResult {len(self.results)} pairs{head}>"

    def to_dataframe(self):
        """A pandas DataFrame with one row per ranked pair (pandas is needed)."""
        import pandas

        rows = []
        for r in self.results:
            i = r.get("interpretation") or {}
            mesh = r.get("mesh") or {}
            misfit = list(i.get("misfit_percent") or [None, None]) + [None, None]
            nearest = i.get("nearest") or {}
            rows.append({
                "rank": r["rank"], "substrate": r["substrate"], "plane": r["plane"],
                "a1": mesh.get("a1"), "a2": mesh.get("a2"), "alpha": mesh.get("alpha"),
                "vvo": r["vvo"], "angle": r["angle"], "type": i.get("type"),
                "wood": i.get("wood"),
                "supercell": f"{nearest.get('b1_multiple', 1)}×{nearest.get('b2_multiple', 1)}",
                "misfit1_percent": misfit[0], "misfit2_percent": misfit[1],
                "area_ratio": i.get("area_ratio"), "summary": i.get("summary"),
            })
        return pandas.DataFrame(rows)


def _starter_crystals() -> str:
    # The starter crystals lie beside the starter database the module found.
    return os.path.join(os.path.dirname(_lamivex._locations()[1]), "crystals")


def _arguments(overlayer, b1, b2, beta, overlayer_from, overlayer_cif, overlayer_hkl,
               substrate_cif, substrate_cif_dir, substrate_records, substrate_crystals,
               substrate_mesh, max_index, m, n, lower, upper, spacing, max_multiple,
               registry_tolerance) -> List[str]:
    args: List[str] = []

    def add(option: str, value) -> None:
        if value is not None:
            args.extend([option, str(value)])

    if overlayer is not None:
        b1, b2, beta = overlayer.length1, overlayer.length2, overlayer.angle
    for option, value in (("--b1", b1), ("--b2", b2), ("--beta", beta), ("--m", m),
                          ("--n", n), ("--lower", lower), ("--upper", upper),
                          ("--spacing", spacing), ("--max-multiple", max_multiple),
                          ("--overlayer-from", overlayer_from),
                          ("--registry-tolerance", registry_tolerance),
                          ("--max-index", max_index)):
        add(option, repr(value) if isinstance(value, float) else value)
    if overlayer_cif is not None:
        add("--overlayer-cif", os.fspath(overlayer_cif))
        hkl = overlayer_hkl
        add("--overlayer-hkl", hkl if isinstance(hkl, str) or hkl is None
            else " ".join(str(int(x)) for x in hkl))

    def many(value) -> Sequence:
        return [value] if isinstance(value, (str, os.PathLike)) else list(value or [])

    for path in many(substrate_cif):
        add("--substrate-cif", os.fspath(path))
    for path in many(substrate_cif_dir):
        add("--substrate-cif-dir", os.fspath(path))
    for pattern in many(substrate_records):
        add("--substrate-records", pattern)
    for mesh in many(substrate_mesh):
        add("--substrate-mesh", mesh if isinstance(mesh, str)
            else " ".join(repr(float(x)) for x in mesh))
    if substrate_crystals:
        add("--substrate-cif-dir", _starter_crystals())
    return args + ["--quiet"]


def _screen_part(arguments: List[str], index: int, count: int) -> str:
    """One shard on a worker: its JSON Lines, as lamivex-cli screen --shard writes them."""
    with tempfile.TemporaryDirectory(prefix="lamivex-screen-") as folder:
        path = os.path.join(folder, "part.jsonl")
        _lamivex._screen_command(["screen", *arguments, "--shard", f"{index}/{count}",
                                  "--jsonl", path])
        with open(path, encoding="utf-8") as f:
            return f.read()


def screen(overlayer=None, *, b1: Optional[Real] = None, b2: Optional[Real] = None,
           beta: Optional[Real] = None, overlayer_from: Optional[str] = None,
           overlayer_cif: Optional[PathLike] = None,
           overlayer_hkl: Union[str, Sequence[int], None] = None,
           substrate_cif: Union[PathLike, Sequence[PathLike], None] = None,
           substrate_cif_dir: Union[PathLike, Sequence[PathLike], None] = None,
           substrate_records: Union[str, Sequence[str], None] = None,
           substrate_crystals: bool = False,
           substrate_mesh: Union[str, Sequence, None] = None, max_index: int = 1,
           m: Optional[int] = None, n: Optional[int] = None, lower: Optional[Real] = None,
           upper: Optional[Real] = None, spacing: Optional[Real] = None,
           max_multiple: Optional[int] = None, registry_tolerance: Optional[Real] = None,
           top: Optional[int] = None, threads: Optional[int] = None,
           client=None, shards: Optional[int] = None) -> ScreenResult:
    """Screen substrates for one overlayer and rank the pairs by their best V/Vo.

    overlayer: a Lattice2D (or b1, b2, beta in Angstroms and degrees, or overlayer_from
    "[FILE:]NAME", or overlayer_cif with overlayer_hkl). Substrates: substrate_cif (files),
    substrate_cif_dir (folders), substrate_records ("[FILE:]PATTERN" of a structure database),
    substrate_crystals (the starter crystals), substrate_mesh ("a1 a2 alpha" or three numbers);
    crystal files with every plane up to max_index. m, n, lower, upper, spacing, max_multiple,
    registry_tolerance: as for lamivex.scan; the azimuth range is each substrate's irreducible
    wedge unless lower and upper are given. top: rank only the best pairs.

    client: a dask.distributed.Client; the work list is then split into shards (default one per
    worker), each run on a worker, and the parts merged: the result is the one of a single run.
    """
    arguments = _arguments(overlayer, b1, b2, beta, overlayer_from, overlayer_cif,
                           overlayer_hkl, substrate_cif, substrate_cif_dir, substrate_records,
                           substrate_crystals, substrate_mesh, max_index, m, n, lower, upper,
                           spacing, max_multiple, registry_tolerance)
    ranking = ["--top", str(top)] if top is not None else []
    if client is None:
        local = arguments + (["--threads", str(threads)] if threads is not None else [])
        return ScreenResult(json.loads(_lamivex._screen_command(
            ["screen", *local, "--json", *ranking])))
    count = shards if shards is not None else max(1, len(client.scheduler_info()["workers"]))
    futures = client.map(_screen_part, [arguments] * count, range(1, count + 1),
                         [count] * count, pure=False)
    parts = client.gather(futures)
    with tempfile.TemporaryDirectory(prefix="lamivex-merge-") as folder:
        paths = []
        for k, text in enumerate(parts):
            paths.append(os.path.join(folder, f"part{k + 1}.jsonl"))
            with open(paths[-1], "w", encoding="utf-8") as f:
                f.write(text)
        return ScreenResult(json.loads(_lamivex._screen_command(
            ["merge", *paths, "--json", *ranking])))
