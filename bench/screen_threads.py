#!/usr/bin/env python3
"""Times the screen of bench/screen_bench.sh on one thread and on two, alternating the two (and
the programs given) round after round, so that a machine whose speed drifts slows every
variant alike. Not a test: it prints the figures for docs/performance.md and asserts nothing.

    python3 bench/screen_threads.py build/bin/lamivex-cli [OTHER_LAMIVEX_CLI ...] [--rounds N]
"""
import argparse
import statistics
import subprocess
import time

SCREEN = ["screen", "--b1", "18.96", "--b2", "12.61", "--beta", "90", "--substrate-crystals",
          "--max-multiple", "3", "--spacing", "0.1", "--quiet"]

parser = argparse.ArgumentParser()
parser.add_argument("programs", nargs="+")
parser.add_argument("--rounds", type=int, default=20)
args = parser.parse_args()

times = {(p, n): [] for p in args.programs for n in (1, 2)}
for _ in range(args.rounds):
    for program in args.programs:
        for threads in (1, 2):
            start = time.perf_counter()
            subprocess.run([program, *SCREEN, "--threads", str(threads)],
                           stdout=subprocess.DEVNULL, check=True)
            times[(program, threads)].append(time.perf_counter() - start)
for program in args.programs:
    one, two = times[(program, 1)], times[(program, 2)]
    print(f"{program}: best {min(one) * 1e3:.0f} ms on 1 thread, {min(two) * 1e3:.0f} ms on 2, "
          f"{min(one) / min(two):.2f}x; medians {statistics.median(one) * 1e3:.0f} / "
          f"{statistics.median(two) * 1e3:.0f} ms, {statistics.median(one) / statistics.median(two):.2f}x")
