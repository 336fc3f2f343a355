"""lamivex.screen: one overlayer against many substrates, on this machine or on a Dask cluster.

The screen is the command line's ``lamivex-cli screen``: the same work list, the same ranking
and, split into shards and merged again, the same result as one run.
"""

from __future__ import annotations

import os
from typing import Any, Dict, List, Optional, Sequence, Union

from . import _lamivex

Real = Union[int, float]
PathLike = Union[str, "os.PathLike[str]"]

__all__ = ["screen", "ScreenResult"]


class ScreenResult:
    """The ranked pairs of a screen.

    results: one dict per screened pair, best first (rank, substrate, plane, mesh, vvo, angle,
    matrix, b1_multiple, b2_multiple, interpretation); errors: the pairs that could not be
    screened and why; inputs: what repeats the screen; json: the whole object, as
    ``lamivex-cli screen --json`` prints it; ranking: the typed result they are read from.
    """

    def __init__(self, ranking: _lamivex.ScreenRanking) -> None:
        self.ranking = ranking
        data: Dict[str, Any] = ranking.to_dict()
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


def _screen_part(arguments: Dict[str, Any], index: int, count: int) -> _lamivex.ScreenPart:
    """One shard on a worker: its pairs, pickled back to the client to be merged."""
    return _lamivex._screen_part(arguments, index, count)


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
    arguments = dict(locals())
    client = arguments.pop("client")
    shards = arguments.pop("shards")
    overlayer = arguments.pop("overlayer")
    if overlayer is not None:
        arguments.update(b1=overlayer.length1, b2=overlayer.length2, beta=overlayer.angle)
    if client is None:
        return ScreenResult(_lamivex._screen(arguments))
    arguments.pop("threads")  # each worker uses its own cores
    count = shards if shards is not None else max(1, len(client.scheduler_info()["workers"]))
    futures = client.map(_screen_part, [arguments] * count, range(1, count + 1),
                         [count] * count, pure=False)
    return ScreenResult(_lamivex._merge_screen(client.gather(futures), top))
