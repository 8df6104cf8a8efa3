#!/usr/bin/python3
"""Writes the JPEG-2000 test fixtures with Pillow (lossless, so the pixels are exact).

colour.jp2 (JP2 boxes) and colour.j2k (raw codestream) hold the same 6 x 4 RGB picture,
alpha.jp2 an RGBA one; X.rgba holds the expected red, green, blue, alpha bytes, top row first.
mask.gif is a 6 x 4 grey mask for colour.jp2 (mask.idx: its grey levels, top row first).
"""
import os
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 6, 4

rgb = Image.frombytes("RGB", (W, H), bytes(((i * 41 + 3) & 255) for i in range(W * H * 3)))
rgba = Image.frombytes("RGBA", (W, H), bytes(((i * 29 + 11) & 255) for i in range(W * H * 4)))
rgb.save(os.path.join(HERE, "colour.jp2"), irreversible=False)
rgb.save(os.path.join(HERE, "colour.j2k"), irreversible=False)
rgba.save(os.path.join(HERE, "alpha.jp2"), irreversible=False)
for name in ("colour.jp2", "alpha.jp2"):
    back = Image.open(os.path.join(HERE, name)).convert("RGBA")
    with open(os.path.join(HERE, name.split(".")[0] + ".rgba"), "wb") as f:
        f.write(back.tobytes())
mask = Image.frombytes("L", (W, H), bytes((x * 40 + y * 10) for y in range(H) for x in range(W)))
mask.save(os.path.join(HERE, "mask.gif"))
with open(os.path.join(HERE, "mask.idx"), "wb") as f:
    f.write(Image.open(os.path.join(HERE, "mask.gif")).convert("L").tobytes())
