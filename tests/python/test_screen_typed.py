"""lamivex.screen read from the typed C++ result says what `lamivex-cli screen --json` says, and
parts of a screen merge only with parts of the same screen. LAMIVEX_CLI names the command line."""

import json
import os
import pickle
import subprocess

import pytest

import lamivex
from lamivex import _lamivex

CLI = os.path.abspath(os.environ["LAMIVEX_CLI"])
OVERLAYER = dict(b1=4.995, b2=4.995, beta=60, m=6, n=6, spacing=1, max_multiple=2)
OVERLAYER_ARGS = ["--b1", "4.995", "--b2", "4.995", "--beta", "60", "--m", "6", "--n", "6",
                  "--spacing", "1", "--max-multiple", "2"]
MESHES = dict(OVERLAYER, substrate_mesh=["2.8836 2.8836 60", "2.5 2.5 90", "3.61 3.61 90"])


def test_result_equals_the_command_lines_json():
    mine = lamivex.screen(**OVERLAYER, substrate_crystals=True, top=5, lower=0, upper=30,
                          registry_tolerance=0.2)
    done = subprocess.run([CLI, "screen", *OVERLAYER_ARGS, "--substrate-crystals", "--top", "5",
                           "--lower", "0", "--upper", "30", "--registry-tolerance", "0.2",
                           "--json", "--quiet"], capture_output=True, text=True, check=True)
    assert mine.json == json.loads(done.stdout)


def test_parts_merge_only_with_parts_of_the_same_screen():
    first, second = (pickle.loads(pickle.dumps(_lamivex._screen_part(MESHES, k, 2)))
                     for k in (1, 2))
    merged = _lamivex._merge_screen([second, first], 2).to_dict()
    assert merged == lamivex.screen(**MESHES, top=2).json
    other = _lamivex._screen_part(dict(MESHES, b1=5.1), 2, 2)
    for parts, message in [([first, other], "part 2 is a part of another screen"),
                           ([first, first], "pair 0 is in both part 1 and part 2"),
                           ([first], r"1 of the 3 pairs are in no part \(pair 1\)")]:
        with pytest.raises(ValueError, match=message):
            _lamivex._merge_screen(parts)
