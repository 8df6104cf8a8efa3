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
import struct


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


def font_file(tables):
    """A TrueType file of the given {tag: bytes} tables (checksums left zero: not read)."""
    tags = sorted(tables)
    out = struct.pack(">IHHHH", 0x00010000, len(tags), 0, 0, 0)
    offset = 12 + 16 * len(tags)
    body = b""
    for tag in tags:
        data = tables[tag] + b"\0" * (-len(tables[tag]) % 4)
        out += struct.pack(">4sIII", tag.encode(), 0, offset + len(body), len(tables[tag]))
        body += data
    return out + body


def font_tables(glyphs, advances, cmap, ascent=800, descent=-200):
    """head, hhea, maxp, loca (long), glyf and hmtx around the glyph outlines given."""
    loca, glyf = [], b""
    for glyph in glyphs:
        loca.append(len(glyf))
        glyf += glyph + b"\0" * (-len(glyph) % 4)
    loca.append(len(glyf))
    head = struct.pack(">IIIIHH16shhhhHHhhh", 0x00010000, 0, 0, 0x5F0F3CF5, 0, 1000, b"\0" * 16,
                       0, -200, 1000, 800, 0, 8, 2, 1, 0)
    hhea = struct.pack(">Ihhh", 0x00010000, ascent, descent, 90) + b"\0" * 24 + struct.pack(">H", len(advances))
    maxp = struct.pack(">IH", 0x00005000, len(glyphs))
    hmtx = b"".join(struct.pack(">Hh", a, 0) for a in advances)
    return {"head": head, "hhea": hhea, "maxp": maxp, "cmap": cmap, "loca": struct.pack(">%dI" % len(loca), *loca),
            "glyf": glyf, "hmtx": hmtx}


def small_font():
    """Three glyphs drawn by hand: a box with a curved side, a composite of two scaled boxes and a
    composite of that one; 'A'..'C' map through a delta, 'a'..'c' through the glyph array."""
    points = [(100, 0, 1), (500, 0, 1), (700, 350, 0), (500, 700, 1), (100, 700, 1)]
    flags = bytes(p[2] for p in points)
    xs, ys, last = b"", b"", (0, 0)
    for x, y, _ in points:
        xs += struct.pack(">h", x - last[0])
        ys += struct.pack(">h", y - last[1])
        last = (x, y)
    box = struct.pack(">hhhhhH", 1, 100, 0, 700, 700, len(points) - 1) + struct.pack(">H", 0) + flags + xs + ys
    pair = struct.pack(">hhhhh", -1, 0, 0, 900, 700)
    pair += struct.pack(">HHhhh", 0x0020 | 0x0001 | 0x0002 | 0x0008, 1, 0, 0, 0x2000)  # half size, more follow
    pair += struct.pack(">HHbbhh", 0x0002 | 0x0040, 1, 100, 50, 0x4000, 0x2000)  # x and y scales
    nested = struct.pack(">hhhhh", -1, 0, 0, 900, 700) + struct.pack(">HHbb", 0x0002, 2, 20, -10)
    glyphs = [b"", box, pair, nested]
    ends, starts, deltas, ranges = [ord("C"), ord("c"), 0xFFFF], [ord("A"), ord("a"), 0xFFFF], \
        [(1 - ord("A")) & 0xFFFF, 0, 1], [0, 0, 0]
    segments = len(ends)
    array = struct.pack(">HHH", 1, 2, 3)
    ranges[1] = 2 * (segments - 1)  # from its own entry to the array behind the table
    sub = struct.pack(">HHHHHHH", 4, 0, 0, 2 * segments, 0, 0, 0)
    sub += struct.pack(">%dH" % segments, *ends) + b"\0\0" + struct.pack(">%dH" % segments, *starts)
    sub += struct.pack(">%dH" % segments, *deltas) + struct.pack(">%dH" % segments, *ranges) + array
    sub = sub[:2] + struct.pack(">H", len(sub)) + sub[4:]
    cmap = struct.pack(">HHHHI", 0, 1, 3, 1, 12) + sub
    return font_file(font_tables(glyphs, [500, 600, 900, 900], cmap))


def dejavu_subset(path, count=128):
    """The first glyphs of a DejaVu face (the Latin letters among them) with its own character
    map: a real font's outlines in a file small enough to mutate quickly."""
    with open(path, "rb") as f:
        font = f.read()
    tables = {}
    for i in range(struct.unpack(">H", font[4:6])[0]):
        tag, _, at, size = struct.unpack(">4sIII", font[12 + 16 * i:28 + 16 * i])
        tables[tag.decode("latin-1")] = font[at:at + size]
    long_loca = struct.unpack(">h", tables["head"][50:52])[0] != 0  # DejaVu's is
    if long_loca:
        loca = struct.unpack(">%dI" % (count + 1), tables["loca"][:4 * (count + 1)])
    else:
        loca = [2 * v for v in struct.unpack(">%dH" % (count + 1), tables["loca"][:2 * (count + 1)])]
    glyphs = [tables["glyf"][loca[i]:loca[i + 1]] for i in range(count)]
    metrics = min(count, struct.unpack(">H", tables["hhea"][34:36])[0])
    advances = [struct.unpack(">H", tables["hmtx"][4 * i:4 * i + 2])[0] for i in range(metrics)]
    subset = font_tables(glyphs, advances, tables["cmap"])
    # The face's own units and extent; the subset's location table is always the long one.
    subset["head"] = tables["head"][:50] + struct.pack(">h", 1) + tables["head"][52:]
    subset["hhea"] = tables["hhea"][:34] + struct.pack(">H", metrics)
    return font_file(subset)


def truetype_seeds(out, font_folder):
    folder = os.path.join(out, "truetype")
    os.makedirs(folder, exist_ok=True)
    seeds = {"small.ttf": small_font()}
    for name in ("DejaVuSans.ttf", "DejaVuSerif-BoldItalic.ttf"):
        path = os.path.join(font_folder, name)
        if os.path.exists(path):
            seeds["subset-" + name] = dejavu_subset(path)
    for name, data in seeds.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


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
    truetype_seeds(out, "/usr/share/fonts/truetype/dejavu")


if __name__ == "__main__":
    main()
