"""The Python module against the command line it wraps: the same numbers to the last
digit, the same refusals, tables as numpy arrays, progress, and the GIL left free."""

import json
import os
import subprocess
import threading

import numpy
import pytest

import lamivex

CLI = os.environ["LAMIVEX_CLI"]
DATA = os.environ["LAMIVEX_TEST_DATA"]
ROOT3 = dict(a1=2.884, a2=2.884, alpha=60, hexagonal=True, b1=4.9952, b2=4.9952, beta=60)


def cli_json(*args):
    done = subprocess.run([CLI, *args, "--json"], capture_output=True, text=True, check=True)
    return json.loads(done.stdout)


def test_scan_gives_the_command_lines_best_and_its_table():
    result = lamivex.scan(**ROOT3)
    line = cli_json("scan", "--a1", "2.884", "--a2", "2.884", "--alpha", "60", "--hexagonal",
                    "--b1", "4.9952", "--b2", "4.9952", "--beta", "60", "--table")
    assert result["best"] == line["best"]  # to the last digit
    assert result["best"]["vvo"] == pytest.approx(-0.5, abs=1e-4)
    assert result["interpretation"]["wood"] == line["interpretation"]["wood"]
    table = result["table"]
    assert isinstance(table["vvo"], numpy.ndarray) and table["vvo"].shape == (result["steps"],)
    assert table["b1_multiple"].dtype.kind == "i"
    assert list(table["vvo"]) == [row["vvo"] for row in line["table"]]


def test_iterate_and_surface_mesh_agree_with_the_command_line():
    result = lamivex.iterate(b1_range=(9.5, 10.5, 0.25), criterion=0.9, threads=1)
    line = cli_json("iterate", "--b1-range", "9.5:10.5:0.25", "--criterion", "0.9")
    assert result["matches"] == line["matches"]
    assert len(result["table"]["vvo"]) == result["match_count"] > 0
    for hkl, a1, hexagonal in [((1, 1, 1), 2.5561910139893693, True), ("1 1 0", 2.5561910139893693, False)]:
        mesh = lamivex.surface_mesh(os.path.join(DATA, "cu.cif"), hkl)
        assert mesh["a1"] == pytest.approx(a1, abs=1e-12)
        assert mesh["hexagonal"] is hexagonal


def test_refusals_are_value_errors_with_the_command_lines_message():
    cases = [(dict(spacing=0), ["scan", "--spacing", "0"]),
             (dict(b1_range=(11, 9, 1)), ["iterate", "--b1-range", "11:9:1"])]
    for kwargs, args in cases:
        done = subprocess.run([CLI, *args], capture_output=True, text=True)
        assert done.returncode == 2
        call = lamivex.iterate if args[0] == "iterate" else lamivex.scan
        with pytest.raises(ValueError) as refused:
            call(**kwargs)
        assert str(refused.value) == done.stderr.strip()
    with pytest.raises(ValueError, match="hkl"):
        lamivex.surface_mesh(os.path.join(DATA, "cu.cif"), "0 0 0")
    for hkl in ["1.5 1 1", (1.5, 1, 1)]:  # not rounded to Cu(211)
        with pytest.raises((ValueError, TypeError), match="whole number"):
            lamivex.surface_mesh(os.path.join(DATA, "cu.cif"), hkl)


def test_progress_is_reported_and_the_gil_is_free_during_a_run():
    fractions = []
    lamivex.iterate(b1_range=(9.5, 10.5, 0.1), b2_range=(9.5, 10.5, 0.1), progress=fractions.append)
    assert fractions and fractions == sorted(fractions) and fractions[-1] == 1.0

    ticks = 0
    worker = threading.Thread(target=lambda: lamivex.iterate(
        b1_range=(9.5, 10.5, 0.1), b2_range=(9.5, 10.5, 0.1), beta_range=(85, 95, 1),
        exhaustive=True, threads=1))
    worker.start()
    while worker.is_alive():
        ticks += 1
    worker.join()
    assert ticks > 1000  # this thread kept running while the run computed
