#!/usr/bin/python3
"""Kills lamivex-cli with SIGKILL while it saves a report, a data file and a database record,
and checks after every kill that the file is whole: the complete old version or the complete
new one. After the next save that is left to finish, nothing but the file may remain beside
it (no temporary file, no rollback journal).

Most kills are aimed at the save itself: the program is killed when its temporary file (or
the database's journal) appears, after a random delay; the others land anywhere in the run.

Usage: kill_during_save.py LAMIVEX_CLI WORK_FOLDER
"""

import json
import os
import random
import re
import subprocess
import sys
import tempfile
import time

KILLS_PER_SAVE = 12
NOTES_LENGTH = 100_000  # a database write of some size, below the 128 KiB of one argument
POLL_SECONDS = 0.0002
RUN_LIMIT_SECONDS = 60  # one run of the program; a run that takes longer is a hang


class Failure(Exception):
    pass


def run(args, **kwargs):
    return subprocess.run(args, stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=RUN_LIMIT_SECONDS, **kwargs)


class FileSave:
    """An atomic save: .NAME.lamivex.PID-N.tmp beside the target, then a rename."""

    def __init__(self, name, cli, folder, target, versions):
        self.name = name
        self.cli = cli
        self.folder = folder
        self.target = os.path.join(folder, target)
        self.versions = versions  # two argument lists, each ending in the target
        self.expected = [self.reference(v) for v in range(2)]
        if self.expected[0] == self.expected[1]:
            raise Failure(f"{name}: the two versions write the same file")

    def command(self, version, target):
        return [self.cli] + self.versions[version] + [target]

    def reference(self, version):
        with tempfile.TemporaryDirectory(dir=self.folder) as scratch:
            path = os.path.join(scratch, "reference")
            done = run(self.command(version, path))
            if done.returncode != 0:
                raise Failure(f"{self.name}: {done.stderr.decode(errors='replace')}")
            return self.content(path)

    def content(self, path=None):
        with open(path or self.target, "rb") as f:
            data = f.read()
        # The report and the data file carry the date: a run across midnight still compares.
        return re.sub(rb"(?m)^\d{1,2}/\d{1,2}/\d{1,2}$", b"DATE", data)

    def in_progress(self, names):
        base = os.path.basename(self.target)
        return any(n.startswith("." + base + ".lamivex.") and n.endswith(".tmp") for n in names)

    def start(self, version):
        return subprocess.Popen(self.command(version, self.target), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def save(self, version):
        done = run(self.command(version, self.target))
        if done.returncode != 0:
            raise Failure(f"{self.name}: a save failed: {done.stderr.decode(errors='replace')}")

    def version_held(self):
        content = self.content()
        for v in range(2):
            if content == self.expected[v]:
                return v
        return None


class DatabaseSave(FileSave):
    """db FILE put-substrate: one SQLite transaction with a rollback journal, FILE-journal."""

    KEPT = ["Au(111)", "2.884", "2.884", "60"]

    def __init__(self, cli, folder):
        self.name = "database"
        self.cli = cli
        self.folder = folder
        self.target = os.path.join(folder, "structures.sqlite")
        self.expected = [("3.84", "A" * NOTES_LENGTH), ("3.85", "B" * NOTES_LENGTH)]
        for args in (["create"], ["put-substrate"] + self.KEPT):
            done = run([cli, "db", self.target] + args)
            if done.returncode != 0:
                raise Failure(f"database: {done.stderr.decode(errors='replace')}")

    def command(self, version, target):
        a1, notes = self.expected[version]
        return [self.cli, "db", target, "put-substrate", "Si(100)", a1, a1, "90",
                "--notes", notes]

    def show(self, name):
        done = run([self.cli, "db", self.target, "show", name, "--json"])
        if done.returncode != 0:
            raise Failure(f"database: show {name}: {done.stderr.decode(errors='replace')}")
        return json.loads(done.stdout)["substrate"]

    def version_held(self):
        kept = self.show(self.KEPT[0])
        if [str(kept["a1"]), str(kept["a2"]), str(kept["alpha"])] != self.KEPT[1:]:
            raise Failure(f"database: the record beside the one written changed: {kept}")
        record = self.show("Si(100)")
        for v in range(2):
            a1, notes = self.expected[v]
            if str(record["a1"]) == a1 and record.get("notes") == notes:
                return v
        return None

    def in_progress(self, names):
        return os.path.basename(self.target) + "-journal" in names


def kill_once(case, version, rng, usual_seconds):
    """Starts a save and kills it; True when it was killed with the save under way."""
    process = case.start(version)
    aimed = rng.random() < 0.75
    began = time.monotonic()
    deadline = began + rng.uniform(0, usual_seconds)
    while process.poll() is None:
        if aimed:
            if case.in_progress(os.listdir(case.folder)):
                time.sleep(rng.choice([0, 0, rng.uniform(0, 0.005)]))
                break
        elif time.monotonic() >= deadline:
            break
        time.sleep(POLL_SECONDS)
    process.kill()
    process.wait()
    return case.in_progress(os.listdir(case.folder))


def exercise(case, rng):
    # The first version is saved whole; each kill then tries to replace it with the other.
    began = time.monotonic()
    case.save(0)
    usual = time.monotonic() - began
    held = 0
    under_way = 0
    for kill in range(KILLS_PER_SAVE):
        writing = 1 - held
        under_way += kill_once(case, writing, rng, usual)
        found = case.version_held()
        if found not in (held, writing):
            raise Failure(f"{case.name}: after kill {kill + 1} the file is neither the old "
                          f"nor the new version")
        held = found
        # The next save finishes, and clears what the killed one left.
        writing = 1 - held
        case.save(writing)
        if case.version_held() != writing:
            raise Failure(f"{case.name}: a finished save did not leave its version")
        held = writing
        left = sorted(n for n in os.listdir(case.folder) if n != os.path.basename(case.target))
        if left:
            raise Failure(f"{case.name}: left beside the file after a finished save: {left}")
    if under_way == 0:
        raise Failure(f"{case.name}: no kill landed during a save; the check proved nothing")
    return under_way


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    cli, work = sys.argv[1], sys.argv[2]
    os.makedirs(work, exist_ok=True)
    seed = int(os.environ.get("LAMIVEX_SAFETY_SEED", "1999"))
    rng = random.Random(seed)
    # A geometric search whose report has a row per step and pair of multiples (about 130 kB),
    # and an iteration of 1000 or 500 trials: a save of some length even with sanitizers.
    scan = ["scan", "--b1", "7.3", "--b2", "5.1", "--beta", "75", "--m", "2", "--n", "2",
            "--spacing", "0.05", "--max-multiple", "3", "--quiet", "--report"]
    iterate = ["iterate", "--m", "2", "--n", "2", "--criterion", "1.5", "--quiet", "--dat"]
    began = time.monotonic()
    with tempfile.TemporaryDirectory(dir=work) as folder:
        cases = [
            lambda f: FileSave("report", cli, f, "run.epi",
                               [scan[:2] + ["7.3"] + scan[3:], scan[:2] + ["7.4"] + scan[3:]]),
            lambda f: FileSave("data file", cli, f, "run.dat",
                               [["iterate", "--b1-range", "9:11:0.002"] + iterate[1:],
                                ["iterate", "--b1-range", "9:11:0.004"] + iterate[1:]]),
            lambda f: DatabaseSave(cli, f),
        ]
        try:
            for make in cases:
                case_folder = tempfile.mkdtemp(dir=folder)
                case = make(case_folder)
                under_way = exercise(case, rng)
                print(f"{case.name}: {KILLS_PER_SAVE} kills, {under_way} during the save, "
                      f"every file whole")
        except (Failure, subprocess.TimeoutExpired) as failure:
            print(f"FAILED (seed {seed}): {failure}", file=sys.stderr)
            return 1
    print(f"{3 * KILLS_PER_SAVE} kills in {time.monotonic() - began:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main())
