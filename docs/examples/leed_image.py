#!/usr/bin/env python3
"""Paints the manual's example LEED image: (√7×√7)R19.1° on Cu(111) with both mirror domains,
Gaussian spots on an uneven background with noise and the electron gun's shadow, written as an
8-bit PNG of 800 × 800 pixels.

    python3 docs/examples/leed_image.py sqrt7-leed.png
"""
import math
import sys

import numpy as np
import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

a = 2.5562                       # Cu(111), Å
b = a * math.sqrt(7)             # the overlayer, Å
azimuth = math.degrees(math.atan2(math.sqrt(3) / 2, 2.5))  # 19.107°
size, centre, scale, turn = 800, (412.0, 396.0), 62.0, 7.0  # pixels, pixels per 1/Å, degrees


def reciprocal(v1, v2):
    m = np.array([v1, v2])
    return 2 * math.pi * np.linalg.inv(m).T


def points(basis, reach):
    out = []
    for h in range(-12, 13):
        for k in range(-12, 13):
            g = h * basis[0] + k * basis[1]
            if 0 < np.hypot(*g) <= reach:
                out.append(g)
    return out


def polar(length, degrees):
    return np.array([length * math.cos(math.radians(degrees)),
                     length * math.sin(math.radians(degrees))])


reach = 1.6 * 4 * math.pi / (math.sqrt(3) * a)
spots = points(reciprocal(polar(a, 0), polar(a, 60)), reach)
for mirror in (1, -1):
    for r in range(6):
        b1 = polar(b, azimuth + 60 * r)
        b2 = polar(b, azimuth + 60 + 60 * r)
        if mirror < 0:
            b1, b2 = b1 * [1, -1], b2 * [1, -1]
        spots += points(reciprocal(b1, b2), reach)

rng = np.random.default_rng(7)
y, x = np.mgrid[0:size, 0:size].astype(float)
image = 1200 + 900 * x / size + 600 * (y / size) ** 2
c, s = math.cos(math.radians(turn)), math.sin(math.radians(turn))
seen = set()
for g in spots:
    key = (round(g[0], 6), round(g[1], 6))
    if key in seen:
        continue
    seen.add(key)
    px = centre[0] + scale * (c * g[0] - s * g[1])
    py = centre[1] - scale * (s * g[0] + c * g[1])
    image += rng.uniform(3000, 9000) * np.exp(-((x - px) ** 2 + (y - py) ** 2) / (2 * 2.5 ** 2))
shadow = np.hypot(x - centre[0], y - centre[1]) < 40
along = ((x - centre[0]) + (y - centre[1])) / math.sqrt(2)
across = np.abs((x - centre[0]) - (y - centre[1])) / math.sqrt(2)
shadow |= (along > 0) & (across < 14)
image[shadow] = 250
image += rng.normal(0, 25, image.shape)
image = np.clip(image / 11000, 0, 1)  # the exposure of a camera set for the spots
plt.imsave(sys.argv[1], image, cmap="gray", vmin=0, vmax=1)
