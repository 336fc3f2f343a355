"""The command line's data as a notebook loads it, with Python's own json and csv modules:
the named fields are there, numbers read as numbers, and a run repeated from the "inputs"
of its JSON gives the same JSON back.

Usage: check_notebook_data.py PATH/TO/lamivex-cli SCRATCH-FOLDER
"""

import csv
import io
import json
import os
import subprocess
import sys

CLI = sys.argv[1]
SCRATCH = sys.argv[2]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(*args):
    done = subprocess.run([CLI, *args], capture_output=True, text=True, check=False)
    if done.returncode != 0:
        raise SystemExit(f"lamivex-cli {' '.join(args)} failed: {done.stderr}")
    return done.stdout


def rows(text):
    # RFC 4180: the csv module reads the CR LF line ends and the quoted texts.
    return list(csv.DictReader(io.StringIO(text, newline="")))


SCAN = ["--hexagonal", "--a1", "2.8836", "--a2", "2.8836", "--alpha", "60",
        "--b1", "4.9945", "--b2", "4.9945", "--beta", "60", "--upper", "40"]
ITERATE = ["--b1-range", "8.4:8.5:0.02", "--b2", "10", "--criterion", "0.99",
           "--upper", "5", "--max-multiple", "2", "--quiet"]

# scan --json --table
scan = json.loads(run("scan", "--json", "--table", *SCAN))
check(scan["lamivex_version"], "scan JSON names the version")
check(scan["inputs"]["substrate"]["a1"] == 2.8836, "scan inputs: a1 as a number")
check(scan["inputs"]["substrate"]["hexagonal"] is True, "scan inputs: the symmetry")
check(len(scan["table"]) == scan["steps"], "scan table: one row per step")
check({"angle", "vvo", "b1_multiple", "m11", "m22"} <= scan["table"][0].keys(),
      "scan table rows are named")
check(scan["interpretation"]["type"] == "commensurate", "scan interpretation")

# scan --csv
table = rows(run("scan", "--csv", "-", *SCAN))
check(len(table) == scan["steps"], "scan CSV: one row per step")
check(float(table[120]["vvo"]) == scan["table"][120]["vvo"],
      "scan CSV and JSON agree to the last digit")

# iterate --json: the iterated constants by name, the multiples, the kept c1 c2 c3
iterate = json.loads(run("iterate", "--json", *ITERATE))
match = iterate["matches"][-1]
check({"b1", "b2", "beta", "b1_multiple", "b2_multiple", "c1", "c2", "c3"} <= match.keys(),
      "iterate matches have named fields and keep the old ones")
check(match["b1_multiple"] == 2 and match["c1"] != match["b1"],
      "a geometric match gives the primitive b1 beside the multiplied c1")
check(all(len(repr(m["b1"])) <= 8 for m in iterate["matches"]),
      "trial values carry no single-precision noise")
check(iterate["inputs"]["ranges"]["b1"] == {"low": 8.4, "high": 8.5, "increment": 0.02},
      "iterate inputs: the range")
check(iterate["records"] and "\t" in iterate["records"][0], "iterate keeps its records")

# iterate --csv
matches = rows(run("iterate", "--csv", "-", *ITERATE))
check(len(matches) == iterate["match_count"], "iterate CSV: one row per match")
check({"match", "b1", "b2", "beta", "epitaxy", "b1_multiple"} <= matches[0].keys(),
      "iterate CSV columns are named")
check(float(matches[-1]["b1"]) == match["b1"], "iterate CSV and JSON agree")

# --from-json repeats the run: the same JSON comes back, byte for byte
for command, args in (("scan", SCAN), ("iterate", ITERATE)):
    first = run(command, "--json", *args)
    path = os.path.join(SCRATCH, f"{command}.json")
    with open(path, "w", encoding="utf-8") as f:
        f.write(first)
    again = run(command, "--json", "--from-json", path, *(["--quiet"] if command == "iterate" else []))
    check(again == first, f"{command} --from-json gives the same JSON back")

if failures:
    print("\n".join("FAIL: " + f for f in failures))
    sys.exit(1)
print("notebook data: all checks passed")
