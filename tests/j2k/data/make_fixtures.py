#!/usr/bin/python3
"""Writes the JPEG-2000 test fixtures with Pillow (lossless, so the pixels are exact).

colour.jp2 (JP2 boxes) and colour.j2k (raw codestream) hold the same 6 x 4 RGB picture,
alpha.jp2 an RGBA one; X.rgba holds the expected red, green, blue, alpha bytes, top row first.
mask.gif is a 6 x 4 grey mask for colour.jp2 (mask.idx: its grey levels, top row first).

layout-*.j2k are a 67 x 45 colour picture as opj_compress writes it in other progression orders,
progression changes, code-block styles and sizes, precincts, tiles and tile-parts; y420*.j2k the
same picture as luma and 4:2:0 chroma (one at an odd origin), whose X.rgba is opj_decompress's
RGB. subsampled.j2k is the colour picture with every component sub-sampled by 2 on a reference
grid of 133 x 89 (opj_compress -s 2,2): 67 x 45 samples, as opj_decompress writes them.
"""
import os
import subprocess
import tempfile
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

LW, LH = 67, 45
LAYOUTS = {
    "rpcl": ["-p", "RPCL", "-c", "[64,64],[32,32]", "-r", "20"],
    "pcrl": ["-p", "PCRL", "-c", "[16,16],[8,8]", "-r", "20", "-t", "40,32", "-n", "4"],
    "cprl": ["-p", "CPRL", "-r", "40,20", "-SOP", "-EPH"],
    "poc": ["-r", "20", "-POC", "T1=0,0,1,3,3,RPCL/T1=3,0,1,6,3,PCRL"],
    "modes": ["-M", "63", "-r", "40,20,10", "-b", "4,4"],
    "bypass": ["-M", "1", "-r", "30,15", "-b", "16,8"],
    "parts": ["-t", "32,32", "-TP", "R", "-p", "RLCP", "-r", "20"],
}


def plane(w, h, seed):
    return bytes(((x * (7 + seed) + y * (11 + 2 * seed) + (x * y) % (5 + seed)) & 255) for y in range(h) for x in range(w))


def compress(name, raw, form, options):
    subprocess.run(["opj_compress", "-i", raw, "-o", os.path.join(HERE, name), "-F", form] + options,
                   check=True, stdout=subprocess.DEVNULL)


def reference_rgba(name, w, h):
    """opj_decompress's planar RGB of the file, as red, green, blue, alpha bytes."""
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "out.rawl")
        subprocess.run(["opj_decompress", "-i", os.path.join(HERE, name), "-o", out], check=True, stdout=subprocess.DEVNULL)
        planes = open(out, "rb").read()
    n = w * h
    with open(os.path.join(HERE, name.split(".")[0] + ".rgba"), "wb") as f:
        f.write(bytes(v for i in range(n) for v in (planes[i], planes[n + i], planes[2 * n + i], 255)))


with tempfile.TemporaryDirectory() as tmp:
    raw = os.path.join(tmp, "rgb.raw")
    with open(raw, "wb") as f:
        f.write(b"".join(plane(LW, LH, c) for c in range(3)))
    for name, options in LAYOUTS.items():
        compress("layout-%s.j2k" % name, raw, "%d,%d,3,8,u" % (LW, LH), options)
    cw, ch = (LW + 1) // 2, (LH + 1) // 2
    with open(raw, "wb") as f:
        f.write(plane(LW, LH, 0) + plane(cw, ch, 1) + plane(cw, ch, 2))
    form = "%d,%d,3,8,u@1x1:2x2:2x2" % (LW, LH)
    compress("y420.j2k", raw, form, ["-r", "5"])
    compress("y420-origin.j2k", raw, form, ["-r", "5", "-d", "1,1"])
    with open(raw, "wb") as f:
        f.write(b"".join(plane(LW, LH, c) for c in range(3)))
    compress("subsampled.j2k", raw, "%d,%d,3,8,u" % (LW, LH), ["-s", "2,2", "-r", "5"])
reference_rgba("y420.j2k", LW, LH)
reference_rgba("y420-origin.j2k", LW, LH)
reference_rgba("subsampled.j2k", LW, LH)
