#!/usr/bin/env python3
"""Renders the game's bitmap fonts ("FGFNT" 2.0 files with PNG pages) from DejaVu faces.

Font file layout (little-endian): "FGFNT", version 2, 0; line top, line bottom, extra advance
(signed bytes); page count, glyph count (u16); then 11 bytes per glyph: code (u16), page (u16),
x, y, width, height (u8), left, right, baseline offset (s8). A glyph is drawn with its top-left
corner at (pen x, pen y - baseline offset), where the pen's y is the baseline; the pen then
moves by |right - left|. Pages are white glyphs on transparency: the font's colour tints them.
"""

import os
import struct

from PIL import Image, ImageDraw, ImageFont

import sol_data

FACE_DIRS = ["/usr/share/fonts/truetype/dejavu"]
PAGE_SIZE = 256  # glyph positions are bytes
PADDING = 1

# Printable ASCII and Latin-1, and the punctuation that texts commonly use.
CHARSET = ([c for c in range(0x20, 0x7F)] + [c for c in range(0xA0, 0x100)] +
           [0x2013, 0x2014, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2026, 0x20AC, 0x2122])


def find_face(name):
    for folder in FACE_DIRS:
        path = os.path.join(folder, name)
        if os.path.exists(path):
            return path
    sol_data.fail("font face %s not found (install fonts-dejavu-core)" % name)


def render_glyph(font, ch):
    """Returns (image L, left, right, baseline) of one glyph, origin at the pen."""
    advance = int(round(font.getlength(ch)))
    l, t, r, b = font.getbbox(ch, anchor="ls")
    width = max(r, 1)
    height = max(b - t, 1)
    if width > 255 or height > 255:
        sol_data.fail("glyph %r is too large for a byte-sized page position" % ch)
    image = Image.new("L", (width, height), 0)
    ImageDraw.Draw(image).text((0, -t), ch, font=font, fill=255, anchor="ls")
    return image, 0, advance, -t


def pack(glyphs):
    """Places glyphs row by row on 256 x 256 pages; returns [(page, x, y)] in glyph order."""
    places = []
    page, x, y, row = 0, 0, 0, 0
    for image, *_ in glyphs:
        w, h = image.size
        if x + w > PAGE_SIZE:
            x, y, row = 0, y + row + PADDING, 0
        if y + h > PAGE_SIZE:
            page, x, y, row = page + 1, 0, 0, 0
        places.append((page, x, y))
        x += w + PADDING
        row = max(row, h)
    return places


def build_font(face, size):
    font = ImageFont.truetype(find_face(face), size)
    codes = [c for c in CHARSET if font.getmask(chr(c)).size != (0, 0) or chr(c).isspace()]
    glyphs = [render_glyph(font, chr(c)) for c in codes]
    places = pack(glyphs)
    page_count = max(p for p, _, _ in places) + 1
    pages = [Image.new("RGBA", (PAGE_SIZE, PAGE_SIZE), (255, 255, 255, 0)) for _ in range(page_count)]
    records = []
    for code, (image, left, right, baseline), (page, x, y) in zip(codes, glyphs, places):
        white = Image.new("RGBA", image.size, (255, 255, 255, 255))
        white.putalpha(image)
        pages[page].paste(white, (x, y))
        w, h = image.size
        records.append(struct.pack("<HHBBBBbbb", code, page, x, y, w, h, left, right, baseline))
    ascent, descent = font.getmetrics()
    header = b"FGFNT" + bytes([2, 0]) + struct.pack("<bbbHH", -ascent, descent, 0, page_count, len(records))
    return header + b"".join(records), pages


def png_bytes(image):
    import io
    buffer = io.BytesIO()
    image.save(buffer, format="PNG", optimize=False)
    return buffer.getvalue()


def main():
    args = sol_data.parse_args("Renders the game's bitmap fonts.")
    listing = os.path.join(args.src, "fonts", "fonts.txt")
    for number, line in sol_data.read_lines(listing):
        parts = line.split()
        if len(parts) != 3:
            sol_data.fail("%s:%d: expected <path> <face> <size>" % (listing, number))
        path, face, size = parts[0].lower(), parts[1], int(parts[2])
        data, pages = build_font(face, size)
        out = os.path.join(args.out, path)
        sol_data.write_if_changed(out, data)
        stem = os.path.splitext(out)[0]
        for i, page in enumerate(pages):
            sol_data.write_if_changed("%s_%03d.png" % (stem, i), png_bytes(page))


if __name__ == "__main__":
    main()
