"""The typed Python API: real signatures, figures, files found from the module's own place,
Ctrl-C and callbacks behaving as Python does, argument types checked, and results equal to
`lamivex-cli ... --json` on the manual's examples. LAMIVEX_CLI names the command line."""

import fractions
import inspect
import json
import os
import pathlib
import signal
import subprocess
import sys
import time

import numpy
import pytest

import lamivex

CLI = os.path.abspath(os.environ["LAMIVEX_CLI"])
DATA = pathlib.Path(os.environ["LAMIVEX_TEST_DATA"])
AU = dict(a1=2.8836, a2=2.8836, alpha=60, hexagonal=True)
ROOT3 = dict(AU, b1=4.9945, b2=4.9945, beta=60)


def cli_json(*args, env=None):
    done = subprocess.run([CLI, *args, "--json"], capture_output=True, text=True, check=True,
                          env=env)
    return json.loads(done.stdout)


AU_ARGS = ["--a1", "2.8836", "--a2", "2.8836", "--alpha", "60", "--hexagonal"]
ROOT3_ARGS = AU_ARGS + ["--b1", "4.9945", "--b2", "4.9945", "--beta", "60"]


@pytest.mark.parametrize("call, args", [
    # The manual's examples, whole JSON objects compared.
    (lambda: lamivex.scan(**ROOT3).to_dict(table=True), ["scan", *ROOT3_ARGS, "--table"]),
    (lambda: lamivex.scan(a1=2.5562, a2=2.5562, alpha=60, hexagonal=True,
                          matrix=[[2, 1], [-1, 3]], at_angle=True).to_dict(),
     ["scan", "--a1", "2.5562", "--a2", "2.5562", "--alpha", "60", "--hexagonal",
      "--matrix", "2 1 -1 3", "--at-angle"]),
    (lambda: lamivex.iterate(**AU, b1=5, b2=5, beta=60, b1_range=(4.90, 5.10, 0.02),
                             b2_range="4.90:5.10:0.02", spacing=0.5, criterion=0.5).to_dict(),
     ["iterate", *AU_ARGS, "--b1", "5", "--b2", "5", "--beta", "60", "--b1-range",
      "4.90:5.10:0.02", "--b2-range", "4.90:5.10:0.02", "--spacing", "0.5", "--criterion", "0.5"]),
])
def test_results_equal_the_command_lines_json(call, args):
    assert call() == cli_json(*args)


def test_views_equal_the_command_lines_json():
    for call, kind, extra in [(lamivex.view_real_space, "real-space", dict(m=6, n=6)),
                              (lamivex.view_leed, "leed", dict(energy=40))]:
        line = cli_json("view", kind, *ROOT3_ARGS, *[a for k, v in extra.items()
                                                     for a in (f"--{k}", str(v))])
        mine = call(**ROOT3, **extra).to_dict()
        assert mine == {k: v for k, v in line.items() if k not in ("inputs", "lamivex_version")}


def test_signatures_and_docstrings():
    for function, needed in [(lamivex.scan, ["substrate", "overlayer", "a1", "hexagonal",
                                             "max_multiple", "matrix", "at_angle", "progress"]),
                             (lamivex.iterate, ["b1_range", "criterion", "fix", "threads"]),
                             (lamivex.view_leed, ["energy", "domains", "out", "size", "dpi"]),
                             (lamivex.view_real_space, ["angle", "zoom", "out"]),
                             (lamivex.crystal.plane_spacing, ["system", "plane", "a"])]:
        parameters = inspect.signature(function).parameters
        assert [p for p in needed if p not in parameters] == []
        assert "Angstroms" in function.__doc__ or "eV" in function.__doc__
    assert inspect.signature(lamivex.scan).parameters["spacing"].default is None
    assert inspect.signature(lamivex.iterate).parameters["criterion"].default == 0.8
    for method in (lamivex.ScanResult.plot, lamivex.IterationResult.plot, lamivex.LeedView.plot):
        assert "size" in method.__doc__ and "dpi" in method.__doc__


def test_every_figure_kind_is_written(tmp_path, capfd):
    magic = {".png": b"\x89PNG", ".pdf": b"%PDF", ".svg": b"<?xml"}
    scan = lamivex.scan(**ROOT3)
    run = lamivex.iterate(**ROOT3, b1_range=(4.9, 5.1, 0.05), spacing=1, criterion=0.5)
    leed = lamivex.view_leed(**ROOT3)
    real = lamivex.view_real_space(**ROOT3, m=6, n=6)
    for name, figure in [("graph.png", scan), ("histogram.svg", run), ("leed.pdf", leed),
                         ("real.png", real)]:
        figure.plot(tmp_path / name, size="400x300", dpi=96)
        assert (tmp_path / name).read_bytes().startswith(magic[pathlib.Path(name).suffix])
        assert "<svg" in figure.to_svg()
    lamivex.scan(**ROOT3, plot=tmp_path / "direct.pdf", size=(600, 400))
    assert (tmp_path / "direct.pdf").read_bytes().startswith(b"%PDF")
    assert capfd.readouterr() == ("", "")  # the painter wrote nothing behind Python's back


def test_starter_database_with_a_fresh_home(tmp_path):
    env = {k: v for k, v in os.environ.items() if k != "XDG_DATA_HOME"}
    env["HOME"] = str(tmp_path)
    code = ("import json, lamivex; r = lamivex.scan(substrate_from='Au(111)', b1=4.9945, "
            "b2=4.9945, beta=60); print(json.dumps(r.to_dict()))")
    done = subprocess.run([sys.executable, "-c", code], env=env, capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    assert json.loads(done.stdout) == cli_json("scan", "--substrate-from", "Au(111)", "--b1",
                                               "4.9945", "--b2", "4.9945", "--beta", "60",
                                               env=env)


def test_a_record_is_hexagonal_however_its_numbers_are_written(tmp_path):
    # a2 differs from a1 in the eleventh digit: equal at the lattice's tolerance, not as text.
    db = tmp_path / "hex.sqlite"
    for action in (["create"], ["put-substrate", "Au", "2.8836", "2.88360000001", "60"]):
        subprocess.run([CLI, "db", str(db), *action], check=True, capture_output=True)
    mine = lamivex.scan(substrate_from=f"{db}:Au", b1=4.9945, b2=4.9945, beta=60).to_dict()
    line = cli_json("scan", "--substrate-from", f"{db}:Au", "--b1", "4.9945", "--b2", "4.9945",
                    "--beta", "60")
    assert line["inputs"]["substrate"]["hexagonal"] is True
    assert mine == line
    junk = tmp_path / "junk.sqlite"
    junk.write_text("not a database")
    with pytest.raises(OSError, match="--substrate-from"):
        lamivex.scan(substrate_from=f"{junk}:Au")


LONG_RUNS = {
    # About 2 s and 10 s to their ends.
    "scan": "lamivex.scan(b1=7.3, b2=5.1, beta=75, spacing=0.002, max_multiple=16, threads=1, "
            "progress=computing)",
    "iterate": "lamivex.iterate(b1_range=(8, 12, 0.01), b2_range=(8, 12, 0.01), criterion=-0.9, "
               "exhaustive=True, threads=1, progress=computing)",
}


@pytest.mark.parametrize("run", sorted(LONG_RUNS))
def test_ctrl_c_raises_keyboard_interrupt_promptly(run):
    # "started" once the run computes: the scan first lays out its result tables (300 MB
    # here), which no check interrupts, and on a busy machine that alone may take a second.
    code = ("import sys, lamivex\nsaid = []\n"
            "def computing(fraction):\n"
            "    if not said:\n        said.append(1)\n        print('started', flush=True)\n"
            "try:\n    " + LONG_RUNS[run] +
            "\nexcept KeyboardInterrupt:\n    print('interrupted', flush=True)\n")
    child = subprocess.Popen([sys.executable, "-c", code], stdout=subprocess.PIPE, text=True)
    assert child.stdout.readline() == "started\n"
    time.sleep(1)
    sent = time.monotonic()
    child.send_signal(signal.SIGINT)
    # Timed to the line the handler prints, not to the end of the process: the interpreter's
    # shutdown is not the run's answer to Ctrl-C and takes longer on a busy machine.
    line = child.stdout.readline()
    answered = time.monotonic() - sent
    child.communicate(timeout=30)
    assert line == "interrupted\n" and answered < 0.5, (line, answered)


def test_a_callbacks_exception_comes_out_unchanged():
    class Stop(Exception):
        pass

    raised = Stop("enough")

    def progress(fraction):
        raise raised

    for call in (lambda: lamivex.scan(b1=7.3, b2=5.1, beta=75, max_multiple=3, progress=progress),
                 lambda: lamivex.iterate(b1_range=(9.5, 10.5, 0.1), progress=progress)):
        with pytest.raises(Stop) as caught:
            call()
        assert caught.value is raised
    with pytest.raises(SystemExit):
        lamivex.scan(b1=7.3, b2=5.1, beta=75, progress=lambda f: sys.exit(3))


def test_arguments_of_any_real_or_path_type(tmp_path):
    plain = lamivex.scan(**ROOT3)
    same = lamivex.scan(a1=numpy.float32(2.8836).item(), a2=fractions.Fraction(28836, 10000),
                        alpha=numpy.int64(60), hexagonal=numpy.bool_(True),
                        substrate=None, b1=numpy.float64(4.9945), b2=4.9945, beta=60)
    assert same.to_dict() == plain.to_dict()
    on_matrix = lamivex.scan(**AU, matrix=numpy.array([[1, 1], [-1, 2]]), at_angle=True)
    assert on_matrix.to_dict() == lamivex.scan(**AU, matrix="1 1 -1 2", at_angle=True).to_dict()
    on_cu = lamivex.scan(substrate_cif=DATA / "cu.cif", substrate_hkl=numpy.array([1, 1, 1]),
                         b1=4.4274, b2=4.4274, beta=60)
    assert on_cu.to_dict() == cli_json("scan", "--substrate-cif", str(DATA / "cu.cif"),
                                       "--substrate-hkl", "1 1 1", "--b1", "4.4274", "--b2",
                                       "4.4274", "--beta", "60")
    lattices = lamivex.scan(lamivex.Lattice2D(2.8836, 2.8836, 60),
                            lamivex.Lattice2D(4.9945, 4.9945, 60), hexagonal=True)
    assert lattices.to_dict() == plain.to_dict()


def test_wrong_types_and_refused_values(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    type_errors = [lambda: lamivex.scan(hexagonal="--report=x.epi"),
                   lambda: lamivex.scan(b1="5"),
                   lambda: lamivex.scan(b_1=5),
                   lambda: lamivex.scan(help=True),
                   lambda: lamivex.scan(matrix=[[1, 2, 3], [4, 5, 6]]),
                   lambda: lamivex.scan(threads=1.5),
                   lambda: lamivex.crystal.plane_spacing(system="Cubic", a=5.431)]
    for call in type_errors:
        with pytest.raises(TypeError):
            call()
    assert list(tmp_path.iterdir()) == []
    for kwargs, args in [(dict(spacing=0), ["scan", "--spacing", "0"]),
                         (dict(matrix=[[1, 2], [2, 4]]), ["scan", "--matrix", "1 2 2 4"]),
                         (dict(at_angle=True), ["scan", "--at-angle"])]:
        done = subprocess.run([CLI, *args], capture_output=True, text=True)
        with pytest.raises(ValueError) as refused:
            lamivex.scan(**kwargs)
        assert str(refused.value) == done.stderr.strip()
    done = subprocess.run([CLI, "view", "leed", "--matrix", "1 2 2 4"], capture_output=True,
                          text=True)
    with pytest.raises(ValueError) as refused:
        lamivex.view_leed(matrix="1 2 2 4")
    assert str(refused.value) == done.stderr.strip()


def test_empty_iteration_still_has_its_columns_and_warnings_are_python_warnings():
    none = lamivex.iterate(b1_range=(9.5, 9.6, 0.1), criterion=-0.9)
    assert none.match_count == 0 and "vvo" in none.matches.dtype.names
    assert none["table"]["b1"].shape == (0,)
    with pytest.warns(UserWarning, match="alpha = 120"):
        lamivex.scan(a1=2.5562, a2=2.5562, alpha=120, hexagonal=True, b1=4.4274, b2=4.4274,
                     beta=120, upper=40)


def test_plane_spacing_and_table_views():
    assert lamivex.crystal.plane_spacing(system="Cubic", a=5.431, plane=(1, 1, 1)) == \
        pytest.approx(5.431 / 3 ** 0.5, rel=1e-12)
    result = lamivex.scan(**ROOT3)
    table = result.table
    assert table.base is not None and not table.flags.writeable  # a view, not a copy
    assert table["angle"][0] == pytest.approx(0.001, abs=1e-6)
    pandas = pytest.importorskip("pandas")
    frame = result.to_dataframe()
    assert isinstance(frame, pandas.DataFrame) and list(frame["vvo"]) == list(table["vvo"])
