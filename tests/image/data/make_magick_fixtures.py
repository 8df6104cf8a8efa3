#!/usr/bin/python3
"""Writes image test fixtures with ImageMagick (and one GIF re-encoded by giflib's gifbuild).

Needs Debian's imagemagick, giflib-tools and python3-pil; the tests only need the files it
writes. The expected results come from independent readers and are cross-checked here:

- im_*.tga: X.rgba is ImageMagick's own decoding with its orientation applied (-auto-orient),
  which must equal Pillow's decoding of the same file (red, green, blue, alpha, top row first).
- im_*.gif, gl_frames.gif: X.idx holds the palette indices as giftext -r dumps them (top row
  first), X.pal the colour table in force (global or local) as giftext -c lists it; for the
  animations X_N.idx, X_N.pal and X_N.rgba (Pillow's colours) per frame N; im_transparent.tix
  holds the one-byte transparent index giftext reports.
Run again only when the fixtures need to change.
"""
import os
import re
import subprocess
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERT = os.environ.get("MAGICK_CONVERT", "/usr/bin/convert")  # /usr/local/bin may hold a stand-in


def out(name):
    return os.path.join(HERE, name)


def write(name, data):
    with open(out(name), "wb") as f:
        f.write(data)


def convert(args):
    subprocess.run([CONVERT] + args, check=True)


def sources(tmp):
    w, h = 13, 7
    Image.frombytes("RGB", (w, h), bytes(((i * 37) & 255) for i in range(w * h * 3))).save(os.path.join(tmp, "rgb.png"))
    Image.frombytes("RGBA", (w, h), bytes(((i * 53 + 7) & 255) for i in range(w * h * 4))).save(os.path.join(tmp, "rgba.png"))
    Image.frombytes("L", (w, h), bytes(((i * 19) & 255) for i in range(w * h))).save(os.path.join(tmp, "grey.png"))
    # Few colours with long runs, so the RLE packets cross row ends.
    pal = Image.frombytes("P", (w, h), bytes(((x // 4 + y * 3) % 9) for y in range(h) for x in range(w)))
    pal.putpalette([(i * 29 + 5) & 255 for i in range(768)])
    pal.convert("RGB").save(os.path.join(tmp, "pal.png"))
    fw, fh = 24, 20
    for s in range(3):  # 32, 64 and 128 colours: a global table, then local tables of other sizes
        im = Image.frombytes("P", (fw, fh), bytes(((x * 7 + y * 13 + s * 31 + (x * y) % 11) % (20 + s * 30))
                                                  for y in range(fh) for x in range(fw)))
        im.putpalette([((i * (3 + s)) + s * 40) & 255 for i in range(768)])
        im.convert("RGB").save(os.path.join(tmp, "frame%d.png" % s))
    tw, th = 40, 30
    Image.frombytes("RGBA", (tw, th), bytes(v for y in range(th) for x in range(tw) for v in (
        (x * 6) & 255, (y * 8) & 255, ((x * y) // 3) & 255,
        0 if (x - 20) ** 2 + (y - 15) ** 2 < 60 else 255))).save(os.path.join(tmp, "trans.png"))


def tgas(tmp):
    orient = {"bl": None, "tl": "TopLeft", "tr": "TopRight", "br": "BottomRight"}
    cases = [(m, "rle", o) for m in ("rgb", "rgba", "grey", "pal") for o in ("bl", "tl")]
    cases += [("rgb", "rle", "tr"), ("rgb", "rle", "br"), ("rgb", "raw", "bl"), ("rgb", "raw", "tl")]
    for mode, packing, o in cases:
        name = "im_%s_%s_%s" % (mode, packing, o)
        args = [os.path.join(tmp, mode + ".png")]
        if mode == "pal":
            args += ["-type", "Palette"]
        if mode == "grey":
            args += ["-type", "Grayscale"]
        if orient[o]:
            args += ["-orient", orient[o]]
        args += ["-compress", "RLE" if packing == "rle" else "None", out(name + ".tga")]
        convert(args)
        magick = subprocess.run([CONVERT, out(name + ".tga"), "-auto-orient", "rgba:-"], check=True,
                                capture_output=True).stdout
        pillow = Image.open(out(name + ".tga")).convert("RGBA").tobytes()
        assert magick == pillow, name
        write(name + ".rgba", magick)


def giftext_maps(path):
    """The colour table in force for every image of a GIF, as giftext -c lists them."""
    text = subprocess.run(["giftext", "-c", path], check=True, capture_output=True, text=True).stdout
    global_map, maps, current, image_map = [], [], None, None
    for line in text.splitlines():
        if "Global Color Map:" in line:
            current = global_map
        elif line.startswith("Image #"):
            if image_map is not None:
                maps.append(image_map or global_map)
            image_map, current = [], None
        elif "Image Has Color Map" in line:
            current = image_map
        elif current is not None:
            entries = re.findall(r"(\d+):\s*([0-9a-f]{2})h\s*([0-9a-f]{2})h\s*([0-9a-f]{2})h", line)
            if not entries and line.strip() and "Sort Flag" not in line:
                current = None
            for _, r, g, b in entries:
                current += [int(r, 16), int(g, 16), int(b, 16)]
    if image_map is not None:
        maps.append(image_map or global_map)
    return [bytes(m) for m in maps]


def giftext_indices(path, frames, size):
    raw = subprocess.run(["giftext", "-r", path], check=True, capture_output=True).stdout
    assert len(raw) == frames * size, path
    return [raw[n * size:(n + 1) * size] for n in range(frames)]


def deinterlaced(raw, width, height):
    """giftext -r lists an interlaced image's lines in file order: put them in picture order."""
    order = list(range(0, height, 8)) + list(range(4, height, 8)) + list(range(2, height, 4)) + list(range(1, height, 2))
    rows = [None] * height
    for n, row in enumerate(order):
        rows[row] = raw[n * width:(n + 1) * width]
    return b"".join(rows)


def gifs(tmp):
    convert([os.path.join(tmp, "frame0.png"), "-interlace", "GIF", out("im_interlaced.gif")])
    convert([os.path.join(tmp, "trans.png"), out("im_transparent.gif")])
    convert(["-delay", "10", "-loop", "0"] + [os.path.join(tmp, "frame%d.png" % s) for s in range(3)]
            + [out("im_frames.gif")])
    for name in ("im_interlaced", "im_transparent"):
        path = out(name + ".gif")
        im = Image.open(path)
        idx = giftext_indices(path, 1, im.size[0] * im.size[1])[0]
        if name == "im_interlaced":
            idx = deinterlaced(idx, im.size[0], im.size[1])
        assert idx == im.tobytes(), name
        write(name + ".idx", idx)
        write(name + ".pal", giftext_maps(path)[0])
    text = subprocess.run(["giftext", out("im_transparent.gif")], check=True, capture_output=True, text=True).stdout
    trans = int(re.search(r"Transparent Index: (\d+)", text).group(1))
    assert trans == Image.open(out("im_transparent.gif")).info["transparency"]
    write("im_transparent.tix", bytes([trans]))
    # giflib's own encoder: the animation dumped to text and built again with gifbuild.
    dump = subprocess.run(["gifbuild", "-d", out("im_frames.gif")], check=True, capture_output=True).stdout
    built = subprocess.run(["gifbuild"], input=dump, check=True, capture_output=True).stdout
    write("gl_frames.gif", built)
    for name in ("im_frames", "gl_frames"):
        path = out(name + ".gif")
        maps = giftext_maps(path)
        indices = giftext_indices(path, 3, 24 * 20)
        back = Image.open(path)
        for n in range(3):
            back.seek(n)
            write("%s_%d.idx" % (name, n), indices[n])
            write("%s_%d.pal" % (name, n), maps[n])
            write("%s_%d.rgba" % (name, n), back.convert("RGBA").tobytes())


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as tmp:
        sources(tmp)
        tgas(tmp)
        gifs(tmp)
