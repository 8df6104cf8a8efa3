#!/usr/bin/python3
"""Writes the BMP test fixtures with Pillow, ImageMagick and by hand.

Needs Debian's python3-pil and imagemagick; the tests only need the files it writes. For every
bmp_X.bmp, bmp_X.rgba holds Pillow's decoding (red, green, blue, alpha 255, top row first);
where ImageMagick reads the file too, both decodings must agree here (RLE4: ImageMagick's).

- bmp_pil_{1,8,grey,24,32}: Pillow's writer (32 bits: alpha not part of the picture).
- bmp_im3_{4,8,24}: ImageMagick's BMP3 (40-byte header); bmp_im3_rle8: its RLE8 compression.
- bmp_im2_{8,24}: ImageMagick's BMP2 (12-byte core header, 3-byte palette entries).
- bmp_hand_*: built here: RLE4 with deltas and absolute runs, top-down rows, 16-bit 5-6-5 bit
  fields, 16-bit without masks (5-5-5), 32-bit bit fields, an OS/2 2.x 64-byte header.
Run again only when the fixtures need to change.
"""
import io
import os
import struct
import subprocess
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERT = os.environ.get("MAGICK_CONVERT", "/usr/bin/convert")  # /usr/local/bin may hold a stand-in
W, H = 13, 7


def out(name):
    return os.path.join(HERE, name)


def rgb_picture():
    return Image.frombytes("RGB", (W, H), bytes(((i * 37 + 11) & 255) for i in range(W * H * 3)))


def pal_picture(colours):
    im = Image.frombytes("P", (W, H), bytes(((x // 3 + y * 5) % colours) for y in range(H) for x in range(W)))
    im.putpalette([(i * 29 + 5) & 255 for i in range(768)])
    return im


def magick_rgba(path):
    data = subprocess.run([CONVERT, path, "-alpha", "off", "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
    return bytes(v if i % 4 != 3 else 255 for i, v in enumerate(data))


def expect(name, magick_too=True, masks=(255, 255, 255, 255)):
    """masks: the bits of red, green, blue and alpha a 16-bit file really holds. Our reader
    shifts a 5- or 6-bit channel up without repeating its top bits in the low ones (the
    independent readers scale, and round differently), so only those bits are compared."""
    path = out(name + ".bmp")
    keep = lambda data: bytes(v & masks[i % 4] for i, v in enumerate(data))
    pillow = keep(Image.open(path).convert("RGBA").tobytes())
    if magick_too:
        magick = keep(magick_rgba(path))
        assert magick == pillow, name
    with open(out(name + ".rgba"), "wb") as f:
        f.write(pillow)


def pillow_files():
    rgb = rgb_picture()
    rgb.convert("1", dither=Image.Dither.NONE).save(out("bmp_pil_1.bmp"))
    pal_picture(40).save(out("bmp_pil_8.bmp"))
    rgb.convert("L").save(out("bmp_pil_grey.bmp"))
    rgb.save(out("bmp_pil_24.bmp"))
    rgba = rgb.copy()
    rgba.putalpha(Image.frombytes("L", (W, H), bytes((i * 17) & 255 for i in range(W * H))))
    rgba.save(out("bmp_pil_32.bmp"))
    for name in ("1", "8", "grey", "24", "32"):
        expect("bmp_pil_" + name)


def magick_files(tmp):
    png24 = os.path.join(tmp, "rgb.png")
    rgb_picture().save(png24)
    png16 = os.path.join(tmp, "pal16.png")
    pal_picture(12).convert("RGB").save(png16)
    png40 = os.path.join(tmp, "pal40.png")
    pal_picture(40).convert("RGB").save(png40)
    runs = os.path.join(tmp, "runs.png")
    Image.frombytes("P", (W, H), bytes(((x // 5 + y) % 4) for y in range(H) for x in range(W))).convert("RGB").save(runs)
    jobs = {
        "bmp_im3_4": [png16, "-type", "Palette", "-colors", "16", "BMP3:"],
        "bmp_im3_8": [png40, "-type", "Palette", "BMP3:"],
        "bmp_im3_24": [png24, "-type", "TrueColor", "BMP3:"],
        "bmp_im3_rle8": [runs, "-type", "Palette", "-compress", "RLE", "BMP3:"],
        "bmp_im2_8": [png40, "-type", "Palette", "BMP2:"],
        "bmp_im2_24": [png24, "-type", "TrueColor", "BMP2:"],
    }
    for name, args in jobs.items():
        subprocess.run([CONVERT] + args[:-1] + [args[-1] + out(name + ".bmp")], check=True)
        expect(name)
    with open(out("bmp_im3_4.bmp"), "rb") as f:
        assert struct.unpack_from("<H", f.read(), 28)[0] == 4, "ImageMagick did not write 4 bits"
    with open(out("bmp_im3_rle8.bmp"), "rb") as f:
        assert struct.unpack_from("<I", f.read(), 30)[0] == 1, "ImageMagick did not write RLE8"
    with open(out("bmp_im2_8.bmp"), "rb") as f:
        assert struct.unpack_from("<I", f.read(), 14)[0] == 12, "ImageMagick did not write a core header"


def file_header(info_and_rest, data_offset):
    return b"BM" + struct.pack("<IHHI", 14 + len(info_and_rest), 0, 0, data_offset)


def info_header(width, height, bits, compression=0, image_size=0, colours=0, size=40):
    head = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression, image_size, 2835, 2835, colours, 0)
    return head + bytes(size - 40)


def write_bmp(name, info, palette, pixels):
    body = info + palette + pixels
    with open(out(name + ".bmp"), "wb") as f:
        f.write(file_header(body, 14 + len(info) + len(palette)) + body)


def padded(row):
    return row + bytes(-len(row) % 4)


def hand_files():
    pal16 = b"".join(bytes([(i * 50) & 255, (i * 90) & 255, (255 - i * 16) & 255, 0]) for i in range(16))
    # RLE4: runs, absolute runs (with and without a pad byte), deltas, line ends, bitmap end.
    rle = bytes([5, 0x12, 0, 7, 0x34, 0x56, 0x78, 0x90, 1, 0xA0, 0, 0,      # row 0, full
                 4, 0xBB, 0, 2, 2, 1, 3, 0xC0, 0, 0,                        # row 1, delta to row 2
                 0, 3, 0xDE, 0xF0, 0, 0,                                    # row 3
                 0, 5, 0x12, 0x34, 0x50, 0, 0, 0,                           # row 4: padded run
                 0, 2, 4, 1, 2, 0x77, 0, 1])                                # delta to row 6, end
    # ImageMagick reads a fixed amount past the runs: zeros after the end keep it content.
    write_bmp("bmp_hand_rle4", info_header(W, H, 4, 2, len(rle), 16), pal16, rle + bytes(64))
    # Top-down 24 bits: the first stored row is the top line.
    rows = [bytes(((x * 19 + y * 53 + c * 7) & 255) for x in range(W) for c in range(3)) for y in range(H)]
    write_bmp("bmp_hand_topdown", info_header(W, -H, 24), b"", b"".join(padded(r) for r in rows))
    # 16 bits, 5-6-5 in bit fields, masks right behind the header.
    words = [((x * 3 + y) & 31) << 11 | ((x * 5 + y * 9) & 63) << 5 | ((y * 4 + x) & 31) for y in range(H) for x in range(W)]
    pix = b"".join(padded(struct.pack("<%dH" % W, *words[y * W:(y + 1) * W])) for y in range(H))
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    write_bmp("bmp_hand_565", info_header(W, H, 16, 3), masks, pix)
    # 16 bits without masks: 5-5-5.
    words = [((x * 3 + y) & 31) << 10 | ((x * 5 + y * 9) & 31) << 5 | ((y * 4 + x) & 31) for y in range(H) for x in range(W)]
    pix = b"".join(padded(struct.pack("<%dH" % W, *words[y * W:(y + 1) * W])) for y in range(H))
    write_bmp("bmp_hand_555", info_header(W, H, 16), b"", pix)
    # 32 bits with the usual bit fields (blue lowest).
    pix = bytes(v for y in range(H) for x in range(W) for v in ((x * 11) & 255, (y * 33) & 255, (x * y * 5) & 255, 0))
    write_bmp("bmp_hand_32bf", info_header(W, H, 32, 3), struct.pack("<III", 0xFF0000, 0xFF00, 0xFF), pix)
    # OS/2 2.x: a 64-byte header, 8 bits.
    pal = b"".join(bytes([i, 255 - i, (i * 7) & 255, 0]) for i in range(256))
    pix = b"".join(padded(bytes(((x * 17 + y * 31) & 255) for x in range(W))) for y in range(H))
    write_bmp("bmp_hand_os2", info_header(W, H, 8, size=64), pal, pix)
    # Pillow 9.4 misreads RLE4 deltas and odd absolute runs: ImageMagick is the reference.
    with open(out("bmp_hand_rle4.rgba"), "wb") as f:
        f.write(magick_rgba(out("bmp_hand_rle4.bmp")))
    expect("bmp_hand_topdown")
    expect("bmp_hand_565", masks=(0xF8, 0xFC, 0xF8, 255))
    expect("bmp_hand_555", masks=(0xF8, 0xF8, 0xF8, 255))
    expect("bmp_hand_32bf")
    expect("bmp_hand_os2", magick_too=False)


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as tmp:
        pillow_files()
        magick_files(tmp)
        hand_files()
