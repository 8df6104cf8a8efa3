#!/usr/bin/env python3
"""Draws the textures of the modules "loading" and "cursor" (data/effects/modules/loading.as and
cursor.as) under gfx/interface/. Everything is drawn here from shapes; nothing is copied.

gfx/interface/loading.png (512 x 256), rectangles as the scripts cut them:
    (0, 0, 420, 48)     bar frame             (0, 48, 400, 28)    bar fill
    (0, 80, 256, 160)   emblem of the intro   (256, 80, 64, 64)   background tile (stretched)
    (320, 80, 32, 32)   spinner
gfx/interface/cursor.png (128 x 32): arrow (0..31), pointing hand (32..63), closed hand (64..95).
"""

import io
import math
import os

from PIL import Image, ImageDraw

import sol_data

LOADING = "gfx/interface/loading.png"
CURSOR = "gfx/interface/cursor.png"


def png_bytes(image):
    buffer = io.BytesIO()
    image.save(buffer, format="PNG", optimize=False)
    return buffer.getvalue()


def draw_bar_frame(draw):
    draw.rounded_rectangle((0, 0, 419, 47), radius=12, fill=(20, 28, 46, 235), outline=(214, 178, 92, 255), width=3)
    draw.rounded_rectangle((6, 6, 413, 41), radius=8, outline=(96, 80, 46, 255), width=1)


def draw_bar_fill(image):
    # A vertical gold gradient with a light top edge, so the fill reads as raised.
    for y in range(28):
        t = y / 27.0
        red = int(250 - 80 * t)
        green = int(214 - 90 * t)
        blue = int(96 - 60 * t)
        for x in range(400):
            image.putpixel((x, 48 + y), (red, green, blue, 255))
    for x in range(400):
        image.putpixel((x, 48), (255, 244, 190, 255))


def draw_emblem(draw):
    # Four card suits in a ring on a dark oval: the intro's emblem.
    left, top = 0, 80
    draw.ellipse((left + 8, top + 8, left + 247, top + 151), fill=(26, 40, 70, 255), outline=(214, 178, 92, 255), width=4)
    centres = [(left + 68, top + 80), (left + 108, top + 80), (left + 148, top + 80), (left + 188, top + 80)]
    colours = [(230, 60, 60, 255), (240, 240, 240, 255), (230, 60, 60, 255), (240, 240, 240, 255)]
    for index, ((cx, cy), colour) in enumerate(zip(centres, colours)):
        if index == 0:  # heart
            draw.ellipse((cx - 14, cy - 14, cx, cy), fill=colour)
            draw.ellipse((cx, cy - 14, cx + 14, cy), fill=colour)
            draw.polygon([(cx - 14, cy - 6), (cx + 14, cy - 6), (cx, cy + 16)], fill=colour)
        elif index == 1:  # spade
            draw.polygon([(cx, cy - 18), (cx - 14, cy + 2), (cx + 14, cy + 2)], fill=colour)
            draw.ellipse((cx - 14, cy - 6, cx, cy + 8), fill=colour)
            draw.ellipse((cx, cy - 6, cx + 14, cy + 8), fill=colour)
            draw.polygon([(cx, cy + 2), (cx - 6, cy + 16), (cx + 6, cy + 16)], fill=colour)
        elif index == 2:  # diamond
            draw.polygon([(cx, cy - 18), (cx + 12, cy), (cx, cy + 18), (cx - 12, cy)], fill=colour)
        else:  # club
            for dx, dy in ((0, -9), (-8, 3), (8, 3)):
                draw.ellipse((cx + dx - 8, cy + dy - 8, cx + dx + 8, cy + dy + 8), fill=colour)
            draw.polygon([(cx, cy + 2), (cx - 6, cy + 16), (cx + 6, cy + 16)], fill=colour)


def draw_background(image):
    # A soft vertical blue gradient; the scripts stretch it over the whole view.
    for y in range(64):
        t = y / 63.0
        colour = (int(16 + 18 * t), int(30 + 26 * t), int(58 + 36 * t), 255)
        for x in range(64):
            image.putpixel((256 + x, 80 + y), colour)


def draw_spinner(draw):
    cx, cy = 320 + 16, 80 + 16
    for step in range(8):
        angle = step * math.pi / 4
        alpha = 80 + step * 22
        x, y = cx + 11 * math.cos(angle), cy + 11 * math.sin(angle)
        draw.ellipse((x - 3, y - 3, x + 3, y + 3), fill=(250, 220, 120, alpha))


def loading_texture():
    image = Image.new("RGBA", (512, 256), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw_bar_frame(draw)
    draw_bar_fill(image)
    draw_emblem(draw)
    draw_background(image)
    draw_spinner(draw)
    return png_bytes(image)


def outlined(draw, points, fill):
    draw.polygon(points, fill=fill, outline=(0, 0, 0, 255))


def cursor_texture():
    image = Image.new("RGBA", (128, 32), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    # Arrow: its tip is the hot spot (0, 0).
    outlined(draw, [(0, 0), (0, 22), (6, 17), (10, 26), (14, 24), (10, 16), (17, 16)], (255, 255, 255, 255))
    # Pointing hand: the fingertip at (40, 1) is the hot spot.
    ox = 32
    draw.rounded_rectangle((ox + 5, 0, ox + 11, 16), radius=3, fill=(255, 255, 255, 255), outline=(0, 0, 0, 255))
    draw.rounded_rectangle((ox + 2, 12, ox + 22, 29), radius=5, fill=(255, 255, 255, 255), outline=(0, 0, 0, 255))
    for fx in (ox + 11, ox + 15, ox + 19):
        draw.line((fx, 13, fx, 18), fill=(0, 0, 0, 255))
    # Closed hand: a fist, held at its centre (80, 16).
    ox = 64
    draw.rounded_rectangle((ox + 4, 6, ox + 28, 28), radius=7, fill=(255, 255, 255, 255), outline=(0, 0, 0, 255))
    for fx in (ox + 10, ox + 16, ox + 22):
        draw.line((fx, 7, fx, 14), fill=(0, 0, 0, 255))
    return png_bytes(image)


def main():
    args = sol_data.parse_args("Draws the loading screen's and the cursor's textures.")
    sol_data.write_if_changed(os.path.join(args.out, LOADING), loading_texture())
    sol_data.write_if_changed(os.path.join(args.out, CURSOR), cursor_texture())


if __name__ == "__main__":
    main()
