#!/usr/bin/env python3
"""Times pymatgen's substrate analyzer (lattice-matched supercells after Zur and McGill) on the
pairs `bench/screen_bench.sh` screens: the PTCDA/Ag(111)-like cell (18.96 × 12.61 Å, 90°, as the
(001) face of a film with that cell) against every starter crystal's planes up to index 1,
beside `lamivex-cli screen` on the same crystals. Not a test: it prints figures for
docs/performance.md. Needs Debian's python3-pymatgen, which Lamivex does not depend on.

    python3 bench/screen_vs_pymatgen.py [LAMIVEX_CLI] [MAX_AREA ...]
"""
import glob
import os
import resource
import subprocess
import sys
import time
import warnings

from pymatgen.core import Lattice, Structure

from pymatgen.analysis.interfaces.substrate_analyzer import SubstrateAnalyzer

cli = sys.argv[1] if len(sys.argv) > 1 else "build/bin/lamivex-cli"
areas = [float(a) for a in sys.argv[2:]] or [400.0, 1000.0]
crystals = sorted(glob.glob(os.path.join(os.path.dirname(__file__), "..", "data", "crystals",
                                         "*.cif")))
warnings.simplefilter("ignore")  # the starter files give the space group by name only
film = Structure(Lattice.from_parameters(18.96, 12.61, 20, 90, 90, 90), ["C"], [[0, 0, 0]])
substrates = [Structure.from_file(f) for f in crystals]

print(f"{len(crystals)} crystals\n")
print("| run | planes with a match | wall time | per crystal |")
print("|---|---|---|---|")
for area in areas:
    # The search's own settings (max_area among them) are the analyzer's keywords.
    analyzer = SubstrateAnalyzer(film_max_miller=1, substrate_max_miller=1, max_area=area)
    matched = set()
    start = time.perf_counter()
    for name, substrate in zip(crystals, substrates):
        for match in analyzer.calculate(film, substrate, film_millers=[(0, 0, 1)]):
            matched.add((name, tuple(match.substrate_miller)))
    seconds = time.perf_counter() - start
    print(f"| pymatgen, max_area {area:g} Å² | {len(matched)} | {seconds:.2f} s "
          f"| {1000 * seconds / len(crystals):.0f} ms |")

start = time.perf_counter()
subprocess.run([cli, "screen", "--b1", "18.96", "--b2", "12.61", "--beta", "90",
                "--substrate-crystals", "--max-multiple", "3", "--spacing", "0.1", "--quiet"],
               check=True, stdout=subprocess.DEVNULL)
seconds = time.perf_counter() - start
print(f"| lamivex-cli screen (every plane ranked) | all | {seconds:.2f} s "
      f"| {1000 * seconds / len(crystals):.1f} ms |")
peak = resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024
print(f"\nthis Python process's peak memory (pymatgen loaded): {peak:.0f} MB")
