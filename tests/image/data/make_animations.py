#!/usr/bin/python3
"""Animated GIFs as Pillow and ImageMagick write them, and Pillow's reading of every frame.

    make_animations.py OUT_DIR

Writes OUT_DIR/NAME.gif and OUT_DIR/NAME.rgba (every frame as Pillow gives it, converted to RGBA,
top row first, one after the other), and OUT_DIR/list with a line "NAME FRAMES WIDTH HEIGHT" per
file. The set holds every disposal method, local colour tables, transparency that changes from
frame to frame, interlaced frames, ImageMagick's optimised layers, and a few files written byte by
byte for what neither tool writes on request (a frame larger than the screen, a transparent index
declared only from the second frame on). Needs python3-pil and imagemagick.
"""
import os
import subprocess
import sys
import tempfile

from PIL import Image, ImageDraw

CONVERT = os.environ.get("MAGICK_CONVERT", "/usr/bin/convert")  # /usr/local/bin may hold a stand-in
W, H = 48, 36


def colour(i):
    return ((i * 73 + 40) & 255, (i * 151 + 90) & 255, (i * 37 + 200) & 255)


def shapes(count, rgba, step=0):
    """Frames of moving shapes on a plain or clear ground: each keeps some of the last."""
    frames = []
    for n in range(count):
        im = Image.new("RGBA" if rgba else "RGB", (W, H), (0, 0, 0, 0) if rgba else (20, 30, 40))
        d = ImageDraw.Draw(im)
        d.rectangle((4 + 5 * n, 3 + 2 * n, 20 + 5 * n, 15 + 3 * n), fill=colour(n) + (255,))
        d.ellipse((26 - 3 * n, 10 + step * n, 40 - 2 * n, 30), fill=colour(n + 7) + (255,))
        frames.append(im)
    return frames


def photo(seed):
    """Many colours, so that each frame has a table of its own."""
    w, h = W, H
    return Image.frombytes("RGB", (w, h), bytes(((x * (3 + seed) + y * (5 + 2 * seed) + c * 60 + seed * 17) * (1 + (x ^ y) % 3)) & 255
                                              for y in range(h) for x in range(w) for c in range(3)))


def pillow_files(out):
    for disposal in range(4):
        frames = shapes(5, True)
        name = "pil_disposal%d" % disposal
        frames[0].save(os.path.join(out, name + ".gif"), save_all=True, append_images=frames[1:], disposal=disposal,
                       duration=50, loop=0)
    # Every frame quantised on its own: local tables (and Pillow's RGBA frames accumulate shapes).
    frames = [f.quantize(64) for f in shapes(4, False, 2)]
    frames[0].save(os.path.join(out, "pil_local.gif"), save_all=True, append_images=frames[1:], optimize=False)
    frames = [photo(s) for s in range(3)]
    frames[0].save(os.path.join(out, "pil_photo.gif"), save_all=True, append_images=frames[1:])
    rgba = shapes(6, True, 1)
    rgba[0].save(os.path.join(out, "pil_rgba.gif"), save_all=True, append_images=rgba[1:], duration=40)
    # One table and one transparent index for every frame: the indexed result.
    pal = [Image.new("P", (W, H), 3) for _ in range(4)]
    for n, im in enumerate(pal):
        im.putpalette([v for i in range(16) for v in colour(i)])
        ImageDraw.Draw(im).rectangle((2 + 6 * n, 4, 14 + 6 * n, 20 + n), fill=5 + n)
    pal[0].save(os.path.join(out, "pil_single_table.gif"), save_all=True, append_images=pal[1:], transparency=3,
                disposal=2, optimize=False)


def convert(args):
    subprocess.run([CONVERT] + args, check=True)


def magick_files(out, tmp):
    pngs = []
    for n, im in enumerate(shapes(6, True, 1)):
        pngs.append(os.path.join(tmp, "s%d.png" % n))
        im.save(pngs[-1])
    opaque = []
    for n, im in enumerate(shapes(5, False)):
        opaque.append(os.path.join(tmp, "o%d.png" % n))
        im.save(opaque[-1])
    photos = []
    for n in range(4):
        photos.append(os.path.join(tmp, "p%d.png" % n))
        photo(n).save(photos[-1])
    bw = os.path.join(tmp, "bw.png")
    Image.new("1", (W, H), 1).save(bw)
    gif = lambda name: os.path.join(out, name + ".gif")
    convert(["-delay", "10", "-dispose", "None"] + opaque + ["-layers", "OptimizeTransparency", gif("im_optimize_transparency")])
    convert(["-delay", "10", "-dispose", "None"] + opaque + ["-layers", "Optimize", gif("im_optimize")])
    convert(["-delay", "10"] + pngs + ["-layers", "OptimizePlus", gif("im_optimize_plus")])
    convert(["-delay", "10"] + pngs + ["-layers", "OptimizeFrame", gif("im_optimize_frame")])
    # A two-colour global table, then 256-colour local tables.
    convert([bw] + photos + [gif("im_local")])
    # Pieces of the frames placed over a clear first frame, disposed of in each way.
    for dispose in ["None", "Background", "Previous"]:
        pieces = sum([["(", p, "-crop", "24x18+%d+0" % (4 * n), "-set", "page", "%dx%d+%d+%d" % (W, H, 5 * n, 3 * n), ")"]
                      for n, p in enumerate(pngs[1:5])], [])
        convert(["-dispose", dispose, "-size", "%dx%d" % (W, H), "xc:none"] + pieces + [gif("im_dispose_" + dispose.lower())])
    convert(["-interlace", "GIF"] + opaque + [gif("im_interlaced")])
    convert(["-interlace", "GIF"] + pngs[:4] + ["-layers", "OptimizeTransparency", gif("im_interlaced_transparent")])


# ---- Written byte by byte ----------------------------------------------------------------------

def lzw_plain(indices, min_code):
    """Every index its own code, a clear code before the table would grow: plain but valid."""
    clear, bits = 1 << min_code, min_code + 1
    codes, room = [clear], (1 << bits) - (clear + 2) - 1
    for n, i in enumerate(indices):
        if n and n % room == 0:
            codes.append(clear)
        codes.append(i)
    codes.append(clear + 1)
    acc = nbits = 0
    data = bytearray()
    for c in codes:
        acc |= c << nbits
        nbits += bits
        while nbits >= 8:
            data.append(acc & 255)
            acc >>= 8
            nbits -= 8
    if nbits:
        data.append(acc & 255)
    blocks = bytearray([min_code])
    for at in range(0, len(data), 255):
        part = data[at:at + 255]
        blocks += bytes([len(part)]) + part
    return bytes(blocks + b"\0")


def table(n, seed):
    return bytes(v for i in range(n) for v in colour(i * 3 + seed))


def gce(disposal=0, transparent=None):
    return bytes([0x21, 0xF9, 4, (disposal << 2) | (1 if transparent is not None else 0), 5, 0, transparent or 0, 0])


def image(left, top, w, h, pick, local=None, interlaced=False):
    flags = (0x40 if interlaced else 0) | ((0x80 | 7) if local else 0)
    desc = bytes([0x2C]) + b"".join(v.to_bytes(2, "little") for v in (left, top, w, h)) + bytes([flags])
    rows = list(range(h))
    if interlaced:
        rows = list(range(0, h, 8)) + list(range(4, h, 8)) + list(range(2, h, 4)) + list(range(1, h, 2))
    return desc + (local or b"") + lzw_plain([pick(x, y) for y in rows for x in range(w)], 8)


def gif_file(w, h, global_table, blocks, background=0):
    head = b"GIF89a" + w.to_bytes(2, "little") + h.to_bytes(2, "little")
    head += bytes([0xF7 if global_table else 0, background, 0]) + (global_table or b"")
    return head + b"".join(blocks) + b";"


def hand_files(out):
    files = {
        # Frame 0 all index 5 and opaque; frame 1 declares index 5 transparent.
        "hand_late_transparency": gif_file(W, H, table(256, 0), [
            gce(0), image(0, 0, W, H, lambda x, y: 5),
            gce(0, 5), image(8, 6, 20, 12, lambda x, y: 5 if (x + y) % 3 else 9)]),
        # Every disposal in turn, each frame with a table of its own and a transparent index.
        "hand_disposals": gif_file(W, H, table(256, 1), [
            gce(1, 2), image(0, 0, W, H, lambda x, y: (x * 7 + y) % 40),
            gce(2, 7), image(4, 4, 20, 16, lambda x, y: 7 if x < 5 else 60 + y, table(256, 2)),
            gce(3, 9), image(10, 8, 22, 20, lambda x, y: 9 if y < 4 else 90 + x, table(256, 3)),
            gce(1), image(30, 2, 14, 30, lambda x, y: 120 + (x ^ y) % 16),
            gce(2), image(0, 20, W, 16, lambda x, y: 200 + x % 9, table(256, 4))], background=33),
        # Disposal to the previous picture from the first frame on, with interlaced frames.
        "hand_previous": gif_file(W, H, table(256, 5), [
            gce(3, 0), image(2, 2, 30, 30, lambda x, y: (x + y) % 4, interlaced=True),
            gce(3, 0), image(10, 10, 30, 20, lambda x, y: 50 + x % 5, interlaced=True),
            gce(1), image(0, 0, 20, 18, lambda x, y: 100 + y % 7)]),
        # The second frame runs past the right edge of the screen.
        "hand_oversize": gif_file(W, H, table(256, 6), [
            gce(1), image(0, 0, W, H, lambda x, y: 11),
            gce(1), image(30, 4, 40, 10, lambda x, y: 20 + x % 9),
            gce(1), image(4, 20, 12, 10, lambda x, y: 40 + y)]),
    }
    for name, data in files.items():
        with open(os.path.join(out, name + ".gif"), "wb") as f:
            f.write(data)


def pillow_frames(out, name):
    """Every frame as Pillow reads it in order, as RGBA."""
    im = Image.open(os.path.join(out, name + ".gif"))
    count = im.n_frames
    size = None
    with open(os.path.join(out, name + ".rgba"), "wb") as f:
        for i in range(count):
            im.seek(i)
            frame = im.convert("RGBA")
            size = size or frame.size
            if frame.size != size:
                frame = frame.crop((0, 0) + size)
            f.write(frame.tobytes())
    return count, size


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        pillow_files(out)
        magick_files(out, tmp)
        hand_files(out)
    names = sorted(n[:-4] for n in os.listdir(out) if n.endswith(".gif"))
    with open(os.path.join(out, "list"), "w") as f:
        for name in names:
            count, (w, h) = pillow_frames(out, name)
            f.write("%s %d %d %d\n" % (name, count, w, h))


if __name__ == "__main__":
    main()
