#!/usr/bin/env python3
"""Draws the texture of the module "learn" (data/effects/modules/learn.as): the tutorial's
windows, their OK button and the banner shown while a tutorial plays. Shapes only; the texts are
the game's own (data/texts/learn.txt), drawn by its fonts.

gfx/learn/learn.png (512 x 256), rectangles as the script cuts them:
    (0, 0, 440, 112)     window panel
    (0, 160, 96, 36)     OK button    (100, 160, 96, 36) lit    (200, 160, 96, 36) pressed
    (0, 200, 300, 40)    banner
"""

import io
import os

from PIL import Image, ImageDraw

import sol_data

OUTPUT = "gfx/learn/learn.png"
GOLD = (214, 178, 92, 255)
DARK_GOLD = (120, 96, 46, 255)


def png_bytes(image):
    buffer = io.BytesIO()
    image.save(buffer, format="PNG", optimize=False)
    return buffer.getvalue()


def draw_panel(draw):
    # A dark, nearly opaque board with a gold rim, so white text reads over any table.
    draw.rounded_rectangle((0, 0, 439, 111), radius=16, fill=(18, 30, 52, 238), outline=GOLD, width=3)
    draw.rounded_rectangle((7, 7, 432, 104), radius=11, outline=DARK_GOLD, width=1)


def draw_button(draw, left, fill, rim):
    draw.rounded_rectangle((left, 160, left + 95, 195), radius=10, fill=fill, outline=rim, width=2)
    draw.line((left + 10, 163, left + 85, 163), fill=(255, 255, 255, 90), width=1)


def draw_banner(draw):
    draw.rounded_rectangle((0, 200, 299, 239), radius=12, fill=(18, 30, 52, 215), outline=GOLD, width=2)


def texture():
    image = Image.new("RGBA", (512, 256), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw_panel(draw)
    draw_button(draw, 0, (46, 110, 60, 255), GOLD)
    draw_button(draw, 100, (70, 160, 86, 255), (255, 232, 160, 255))
    draw_button(draw, 200, (30, 80, 42, 255), DARK_GOLD)
    draw_banner(draw)
    return image


def main():
    args = sol_data.parse_args(__doc__)
    sol_data.write_if_changed(os.path.join(args.out, OUTPUT), png_bytes(texture()))


if __name__ == "__main__":
    main()
