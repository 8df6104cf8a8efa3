#!/usr/bin/env python3
"""Draws the game's particle effect images and writes them as the first run expects them.

Each effect is a JPEG-2000 colour picture DIR/gfx/effects/NAME.jp2 with a GIF of the same name
whose grey levels are its alpha; the game's first start turns every pair into one TGA with
alpha. The pictures are drawn here procedurally (soft sparks, rings, glows and stars).
Run as: gen_effect_images.py --src data --out DIR
"""
import argparse
import math
import os
import sys

try:
    from PIL import Image
except ImportError:
    # The build may find a Python without Pillow first; the system one has it.
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise

SIZE = 64


def clamp(v):
    return max(0, min(255, int(round(v))))


def draw(size, colour_at, alpha_at):
    colour = Image.new("RGB", (size, size))
    alpha = Image.new("L", (size, size))
    c = (size - 1) / 2.0
    cpix, apix = colour.load(), alpha.load()
    for y in range(size):
        for x in range(size):
            dx, dy = (x - c) / c, (y - c) / c
            r = math.hypot(dx, dy)
            a = math.atan2(dy, dx)
            cpix[x, y] = tuple(clamp(v) for v in colour_at(r, a))
            apix[x, y] = clamp(alpha_at(r, a))
    return colour, alpha


def spark():
    return draw(SIZE, lambda r, a: (255, 240 - 80 * r, 160 - 140 * r),
                lambda r, a: 255 * max(0.0, 1 - r) ** 2)


def glow():
    return draw(SIZE, lambda r, a: (120 + 100 * r, 200, 255),
                lambda r, a: 255 * math.exp(-5 * r * r))


def ring():
    return draw(SIZE, lambda r, a: (255, 215, 90 + 100 * r),
                lambda r, a: 255 * math.exp(-((r - 0.65) / 0.12) ** 2))


def star():
    def alpha(r, a):
        arms = abs(math.cos(2.5 * a)) ** 8
        return 255 * max(0.0, 1 - r / (0.35 + 0.65 * arms)) ** 1.5

    return draw(SIZE, lambda r, a: (255, 255 - 60 * r, 200 - 150 * r), alpha)


EFFECTS = {"spark": spark, "glow": glow, "ring": ring, "star": star}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--src", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    folder = os.path.join(args.out, "gfx", "effects")
    os.makedirs(folder, exist_ok=True)
    for name, make in sorted(EFFECTS.items()):
        colour, alpha = make()
        colour.save(os.path.join(folder, name + ".jp2"), irreversible=False)
        alpha.save(os.path.join(folder, name + ".gif"))


if __name__ == "__main__":
    main()
