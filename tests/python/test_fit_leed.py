"""lamivex.fit_leed on a (√7×√7)R19.1° pattern of Cu(111) drawn here by its own arithmetic:
the cell and matrix it was drawn with, and the very result `lamivex-cli fit leed --json` gives
for the same spots, as a CSV file and as a picture. LAMIVEX_CLI names the command line."""

import csv
import json
import math
import os
import struct
import subprocess
import zlib

import numpy
import pytest

import lamivex

CLI = os.path.abspath(os.environ["LAMIVEX_CLI"])
A = 2.5562  # Cu(111) surface spacing, Angstroms
B = A * math.sqrt(7)  # 6.7631 Å, the √7 cell at 19.1066°
CU = dict(a1=A, a2=A, alpha=60, hexagonal=True)
CU_ARGS = ["--a1", "2.5562", "--a2", "2.5562", "--alpha", "60", "--hexagonal", "--json"]


def rotation(degrees):
    t = math.radians(degrees)
    return numpy.array([[math.cos(t), -math.sin(t)], [math.sin(t), math.cos(t)]])


def reciprocal(rows):
    """Rows a1*, a2* with ai·aj* = δij (the fit's scale absorbs any 2π)."""
    return numpy.linalg.inv(rows).T


SUBSTRATE = numpy.array([[A, 0], [A / 2, A * math.sqrt(3) / 2]])  # rows a1, a2


@pytest.fixture(scope="module")
def pattern():
    """(x, y) pixels y downwards and kinds of every spot within 2.2 substrate orders: the 6
    rotations of the cell and of its mirror image about a1, on a screen of random centre,
    scale and turn, with 0.2 pixels of noise."""
    cell = numpy.array([[B, 0], [B / 2, B * math.sqrt(3) / 2]]) @ rotation(19.1066).T
    reach = 2.2 * numpy.linalg.norm(reciprocal(SUBSTRATE)[0])
    spots = {}
    for mirror in (numpy.eye(2), numpy.diag([1.0, -1.0])):
        for turn in range(6):
            g1, g2 = reciprocal(cell @ mirror.T @ rotation(60 * turn).T)
            for h in range(-12, 13):
                for k in range(-12, 13):
                    g = h * g1 + k * g2
                    if 0 < numpy.linalg.norm(g) <= reach:
                        spots[tuple(numpy.round(g, 6))] = g
    g = numpy.array(list(spots.values()))
    orders = g @ SUBSTRATE.T  # whole numbers on the substrate's orders
    on_substrate = numpy.all(numpy.abs(orders - numpy.round(orders)) < 1e-6, axis=1)
    kinds = ["substrate" if s else "" for s in on_substrate]
    rng = numpy.random.default_rng(7)
    scale, turn, centre = rng.uniform(150, 250), rng.uniform(0, 360), rng.uniform(300, 400, 2)
    screen = g @ rotation(turn).T * scale
    xy = numpy.column_stack([centre[0] + screen[:, 0], centre[1] - screen[:, 1]])
    return xy + rng.normal(0, 0.2, xy.shape), kinds


def cli_json(*args):
    done = subprocess.run([CLI, "fit", "leed", *args, *CU_ARGS], capture_output=True, text=True,
                          check=True)
    return json.loads(done.stdout)


def write_png(path, grey):
    """A 16-bit grey PNG, written by hand: one filter byte (none) before each row."""
    height, width = grey.shape
    rows = b"".join(b"\0" + row.astype(">u2").tobytes() for row in grey)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))
    path.write_bytes(b"\x89PNG\r\n\x1a\n"
                     + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 16, 0, 0, 0, 0))
                     + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def test_root7_cell_and_matrix_as_the_command_line_fits_them(pattern, tmp_path):
    xy, kinds = pattern
    rows = [(x, y, kind) for (x, y), kind in zip(xy, kinds)]
    fit = lamivex.fit_leed(rows, **CU)
    assert abs(fit.b1 - B) / B < 0.005 and abs(fit.b2 - B) / B < 0.005
    assert abs(fit.beta - 60) < 0.2
    # The best matrix gives the √7 cell: area 7 substrate cells, b1 of length √7·a at 19.1°.
    m = numpy.array(fit.candidates[0]["matrix"])
    b1 = m[0] @ SUBSTRATE
    assert round(abs(numpy.linalg.det(m))) == 7
    assert math.isclose(numpy.linalg.norm(b1), B, rel_tol=1e-9)
    assert math.isclose(math.degrees(math.atan2(b1[1], b1[0])) % 60, 19.1066, abs_tol=1e-3)
    path = tmp_path / "spots.csv"
    with open(path, "w", newline="") as f:
        csv.writer(f).writerows([("x", "y", "kind")] + [(repr(float(x)), repr(float(y)), k)
                                                         for x, y, k in rows])
    assert fit.to_dict() == cli_json(str(path))


def test_kinds_apart_and_an_array_fit_as_a_third_column(pattern):
    xy, kinds = pattern
    apart = lamivex.fit_leed(xy, kinds=kinds, **CU)
    column = lamivex.fit_leed([(x, y, kind) for (x, y), kind in zip(xy, kinds)], **CU)
    assert apart.to_dict() == column.to_dict()
    assert list(apart.spots["kind"]) == kinds
    assert numpy.array_equal(apart.spots["x"], xy[:, 0])
    marked = apart.spots[apart.spots["kind"] == "substrate"]
    assert set(marked["assignment"]) == {"substrate"} and set(marked["domain"]) == {-1}


def test_picture_fits_as_the_command_line_fits_it(pattern, tmp_path):
    xy, _ = pattern
    rows, columns = numpy.mgrid[0:720, 0:760]
    grey = 1000 + numpy.random.default_rng(8).normal(0, 20, rows.shape)
    for x, y in xy:
        grey += 8000 * numpy.exp(-((columns - x) ** 2 + (rows - y) ** 2) / 8)
    path = tmp_path / "leed.png"
    write_png(path, grey.astype(numpy.uint16))
    fit = lamivex.fit_leed(image=path, **CU)
    assert abs(fit.b1 - B) / B < 0.005
    assert fit.image["width"] == 760 and len(fit.found_spots) == fit.image["spots_found"]
    assert fit.to_dict() == cli_json("--image", str(path))


@pytest.mark.parametrize("arguments, message", [
    (dict(spots=[(0, 0), (1, 0), (0, 1)]), r"^lamivex-cli fit leed: Too few spots: 3 given"),
    (dict(domains="some"), "--domains: 'some' is neither all nor one"),
    (dict(energy=0), "--energy: must be greater than 0 eV"),
    (dict(threshold=10), "--threshold: needs --image"),
    (dict(image="leed.png"), "--image: give either"),
    (dict(spots=[(0, 0, "adsorbate")]), "spot 1: kind 'adsorbate' is none of substrate, overlayer"),
])
def test_refused_values(pattern, arguments, message):
    given = dict(dict(spots=pattern[0]), **arguments)
    with pytest.raises(ValueError, match=message):
        lamivex.fit_leed(**given, **CU)


@pytest.mark.parametrize("arguments", [
    dict(spots=5), dict(spots="1,2"), dict(spots=[(1, 2, "", 4)]), dict(spots=[("1", 2)]),
    dict(spots=[(1, 2)], energy="60"), dict(spots=[(1, 2)], centre=5),
    dict(spots=[(1, 2)], mirrors=1), dict(image=3),
])
def test_wrong_types(arguments):
    with pytest.raises(TypeError):
        lamivex.fit_leed(**arguments, **CU)
