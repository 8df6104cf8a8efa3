#!/usr/bin/python3
"""Writes the image test fixtures with Pillow, plus what they must decode to.

For every picture X.gif / X.tga there is X.rgba: the expected colours as red, green, blue, alpha
bytes, top row first. GIFs also get X.idx (palette indices, top row first) and X.pal (the palette
as red, green, blue triples). Run again only when the fixtures need to change.
"""
import os
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))


def pattern(w, h, seed):
    return bytes(((x * 7 + y * 13 + seed * 31 + (x * y) % 11) & 255) for y in range(h) for x in range(w))


def palette(seed):
    pal = []
    for i in range(256):
        pal += [(i * 3 + seed) & 255, (i * 5 + 2 * seed) & 255, (255 - i + seed) & 255]
    return pal


def save_expect(name, im):
    rgba = im.convert("RGBA")
    with open(os.path.join(HERE, name + ".rgba"), "wb") as f:
        f.write(rgba.tobytes())


def save_gif_expect(name, im):
    with open(os.path.join(HERE, name + ".idx"), "wb") as f:
        f.write(im.tobytes())
    pal = im.getpalette() or []
    with open(os.path.join(HERE, name + ".pal"), "wb") as f:
        f.write(bytes(pal))


def paletted(w, h, seed):
    im = Image.frombytes("P", (w, h), pattern(w, h, seed))
    im.putpalette(palette(seed))
    return im


def gifs():
    im = paletted(40, 30, 1)
    im.save(os.path.join(HERE, "plain.gif"), interlace=0, optimize=False)
    im.save(os.path.join(HERE, "interlaced.gif"), interlace=1, optimize=False)
    im.save(os.path.join(HERE, "transparent.gif"), interlace=0, optimize=False, transparency=5, duration=70)
    for name in ("plain", "interlaced", "transparent"):
        back = Image.open(os.path.join(HERE, name + ".gif"))
        save_gif_expect(name, back)
    # Three full frames with their own palettes: local colour tables.
    frames = [paletted(24, 20, s) for s in (3, 4, 5)]
    frames[0].save(os.path.join(HERE, "frames.gif"), save_all=True, append_images=frames[1:],
                   optimize=False, interlace=0, disposal=1, duration=50)
    back = Image.open(os.path.join(HERE, "frames.gif"))
    for n in range(3):
        back.seek(n)
        save_expect("frames_%d" % n, back.convert("RGB"))


def tgas():
    w, h = 13, 7
    rgb = Image.frombytes("RGB", (w, h), bytes(((i * 37) & 255) for i in range(w * h * 3)))
    rgba = Image.frombytes("RGBA", (w, h), bytes(((i * 53 + 7) & 255) for i in range(w * h * 4)))
    grey = Image.frombytes("L", (w, h), bytes(((i * 19) & 255) for i in range(w * h)))
    pal = paletted(w, h, 9)
    for mode_name, im in (("rgb", rgb), ("rgba", rgba), ("grey", grey), ("pal", pal)):
        for compression in (None, "tga_rle"):
            for orientation in (1, -1):
                name = "%s_%s_%s" % (mode_name, "rle" if compression else "raw", "up" if orientation > 0 else "down")
                kwargs = {"orientation": orientation}
                if compression:
                    kwargs["compression"] = compression
                im.save(os.path.join(HERE, name + ".tga"), **kwargs)
                save_expect(name, Image.open(os.path.join(HERE, name + ".tga")))


if __name__ == "__main__":
    gifs()
    tgas()
