#!/usr/bin/env python3
"""Writes the particle descriptions (".psi", 128 bytes each) of data/particles/particles.ini under
gfx/particles/, and the particle sprite texture gfx/particles/particles.png.

Record layout (little-endian): u32 sprite placeholder (0; the game stores its sprite there);
i32 emission; f32 lifetime, life min, life max, direction, spread (radians); u8 relative and 3 bytes
of padding; f32 speed min/max, gravity min/max, radial min/max, tangential min/max, size start/end,
size variation, spin start/end, spin variation; 4 x f32 colour start, 4 x f32 colour end;
f32 colour variation, alpha variation.

Keys (min/max pairs are given as "min max", a single value is used for both): emission, lifetime,
life, direction, spread, relative, speed, gravity, radial_acceleration, tangential_acceleration,
size ("start end"), size_variation, spin ("start end"), spin_variation, color_start, color_end,
color_variation, alpha_variation.
"""

import configparser
import io
import math
import os
import struct

from PIL import Image, ImageDraw

import sol_data

RECORD_SIZE = 128
OUT_DIR = "gfx/particles"
TEXTURE = "gfx/particles/particles.png"


def floats(section, key, count):
    text = section.get(key, "")
    values = [float(v) for v in text.split()] if text.strip() else [0.0]
    if len(values) == 1:
        values *= count
    if len(values) != count:
        sol_data.fail("[%s] %s: expected %d numbers" % (section.name, key, count))
    return values


def encode(section):
    known = {"emission", "lifetime", "life", "direction", "spread", "relative", "speed", "gravity",
             "radial_acceleration", "tangential_acceleration", "size", "size_variation", "spin",
             "spin_variation", "color_start", "color_end", "color_variation", "alpha_variation"}
    for key in section:
        if key not in known:
            sol_data.fail("[%s]: unknown key %s" % (section.name, key))
    data = struct.pack("<Ii", 0, int(section.get("emission", "0")))
    data += struct.pack("<fff", floats(section, "lifetime", 1)[0], *floats(section, "life", 2))
    data += struct.pack("<ff", math.radians(floats(section, "direction", 1)[0]),
                        math.radians(floats(section, "spread", 1)[0]))
    data += struct.pack("<B3x", 1 if int(section.get("relative", "0")) else 0)
    for key in ("speed", "gravity", "radial_acceleration", "tangential_acceleration"):
        data += struct.pack("<ff", *floats(section, key, 2))
    data += struct.pack("<fff", *floats(section, "size", 2), floats(section, "size_variation", 1)[0])
    data += struct.pack("<fff", *floats(section, "spin", 2), floats(section, "spin_variation", 1)[0])
    data += struct.pack("<4f", *floats(section, "color_start", 4))
    data += struct.pack("<4f", *floats(section, "color_end", 4))
    data += struct.pack("<ff", floats(section, "color_variation", 1)[0],
                        floats(section, "alpha_variation", 1)[0])
    assert len(data) == RECORD_SIZE
    return data


def soft_dot():
    dot = Image.new("RGBA", (32, 32), (255, 255, 255, 0))
    for y in range(32):
        for x in range(32):
            d = math.hypot(x - 15.5, y - 15.5) / 16.0
            alpha = max(0.0, 1.0 - d) ** 1.5
            dot.putpixel((x, y), (255, 255, 255, int(round(alpha * 255))))
    return dot


def four_pointed_star():
    star = Image.new("L", (32, 32), 0)
    draw = ImageDraw.Draw(star)
    draw.polygon([(16, 0), (19, 13), (32, 16), (19, 19), (16, 32), (13, 19), (0, 16), (13, 13)], fill=255)
    white = Image.new("RGBA", (32, 32), (255, 255, 255, 255))
    white.putalpha(star)
    return white


def particle_texture():
    """A 4 x 3 sheet of 32 x 32 white-on-alpha cells, soft dots and four-pointed stars in turn
    (the dot at (0, 0), the star at (32, 0)). The game's effects take cells at corners such as
    (31, 63) and (95, 31), so every cell of the sheet is filled and the cells' edges are clear."""
    image = Image.new("RGBA", (128, 96), (255, 255, 255, 0))
    shapes = [soft_dot(), four_pointed_star()]
    for row in range(3):
        for column in range(4):
            image.paste(shapes[(row + column) % 2], (column * 32, row * 32))
    buffer = io.BytesIO()
    image.save(buffer, format="PNG")
    return buffer.getvalue()


def main():
    args = sol_data.parse_args("Writes the particle descriptions.")
    config = configparser.ConfigParser(inline_comment_prefixes=(";", "#"))
    config.read(os.path.join(args.src, "particles", "particles.ini"), encoding="utf-8")
    for name in config.sections():
        out = os.path.join(args.out, OUT_DIR, name.lower() + ".psi")
        sol_data.write_if_changed(out, encode(config[name]))
    sol_data.write_if_changed(os.path.join(args.out, TEXTURE), particle_texture())


if __name__ == "__main__":
    main()
