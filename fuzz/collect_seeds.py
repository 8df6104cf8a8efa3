#!/usr/bin/env python3
"""Gathers fuzz seeds from the generated game data and the image test files.

    collect_seeds.py --data <game data folder> --source <repository> --out <seed folder>

Each target's seeds land in <seed folder>/<target>/. The level file is cut into one seed per level,
each renamed to the section the level target loads ("Solitaire0"), so every seed is one whole level.
"""
import argparse
import glob
import os
import re
import shutil


def copy(files, out, target):
    folder = os.path.join(out, target)
    os.makedirs(folder, exist_ok=True)
    for path in files:
        shutil.copy(path, folder)


def split_levels(level_file, out):
    folder = os.path.join(out, "level")
    os.makedirs(folder, exist_ok=True)
    with open(level_file, encoding="latin-1") as f:
        text = f.read()
    sections = re.split(r"(?m)^(?=\[)", text)
    for section in sections:
        match = re.match(r"\[Solitaire(\d+)\]", section)
        if not match:
            continue
        body = "[Solitaire0]" + section[match.end():]
        with open(os.path.join(folder, "level%s.ini" % match.group(1)), "w", encoding="latin-1") as f:
            f.write(body)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--data", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    data, out = args.data, args.out
    images = os.path.join(args.source, "tests", "image", "data")
    j2k = os.path.join(args.source, "tests", "j2k", "data")

    gifs = glob.glob(os.path.join(images, "*.gif")) + glob.glob(os.path.join(j2k, "*.gif")) + \
        glob.glob(os.path.join(data, "gfx", "effects", "*.gif"))
    tgas = glob.glob(os.path.join(images, "*.tga"))
    bmps = glob.glob(os.path.join(images, "*.bmp"))
    copy(gifs, out, "gif")
    copy(tgas, out, "tga")
    copy(bmps, out, "bmp")
    copy(gifs + tgas + bmps, out, "image")
    copy(glob.glob(os.path.join(j2k, "*.jp2")) + glob.glob(os.path.join(j2k, "*.j2k")) +
         glob.glob(os.path.join(data, "gfx", "effects", "*.jp2")), out, "j2k")
    copy([os.path.join(data, name) for name in ("config.ini", "Logic.ini")], out, "ini")
    split_levels(os.path.join(data, "sol_max.ini"), out)
    copy(glob.glob(os.path.join(data, "data", "texts", "*.txt")), out, "texts")
    copy([p for p in glob.glob(os.path.join(data, "data", "fonts", "*")) if not p.endswith(".png")], out, "font")
    copy(glob.glob(os.path.join(data, "gfx", "particles", "*.psi")), out, "particles")


if __name__ == "__main__":
    main()
