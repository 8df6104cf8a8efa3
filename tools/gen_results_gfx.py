#!/usr/bin/env python3
"""Draws the textures of the result popups after a won game (data/effects/modules/statistic_story.as,
bonus_statistic.as, statistic_classic.as and result_kit.as) under gfx/results/. The windows of the
bonus and classic results and of the table's small dialogs are the screen kit's; the rank emblems
and the trophies come from gen_story_gfx.py and gen_classic_trophy_gfx.py. Texts are not in these
pictures: the game draws them from data/texts.

gfx/results/story_window.png (640 x 480): the story result's window, in the kit's look.
gfx/results/medal_slot.png (96 x 96): the dim ring where a medal comes to stand.
gfx/results/medal_<kind>.png (96 x 96), medal_glow.png (128 x 128): the medals and their light.
gfx/results/lamp_off.png, lamp_on.png (28 x 28): a hint lamp, unused and used.
gfx/results/rank_frame.png (236 x 32), rank_fill.png (216 x 16): the rank bar.
gfx/results/star.png (64 x 64): the light behind "Medal won!".
"""

from PIL import Image, ImageDraw, ImageFilter

import gen_screens_gfx as kit
import screen_art as art
import sol_data


def medal_slot():
    image = Image.new("RGBA", (96, 96), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.ellipse((14, 22, 82, 90), fill=(0, 0, 0, 70), outline=kit.GOLD + (150,), width=3)
    return image.filter(ImageFilter.GaussianBlur(0.6))


def lamp(lit):
    image = Image.new("RGBA", (28, 28), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    if lit:
        image.alpha_composite(art.glow(28, (255, 170, 60), 0.9))
        draw.ellipse((6, 6, 21, 21), fill=(255, 190, 70, 255), outline=(150, 70, 10, 255), width=2)
        draw.ellipse((9, 8, 14, 12), fill=(255, 245, 210, 255))
    else:
        draw.ellipse((6, 6, 21, 21), fill=(60, 80, 90, 255), outline=(150, 130, 80, 255), width=2)
    return image


def rank_frame():
    image = Image.new("RGBA", (236, 32), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 0, 235, 31), radius=14, fill=(12, 30, 44, 255), outline=kit.GOLD + (255,), width=3)
    draw.rounded_rectangle((9, 7, 226, 24), radius=8, fill=(4, 16, 26, 255))
    return image


def rank_fill():
    image = kit.vertical_gradient((216, 16), (255, 236, 150), (214, 140, 30))
    mask = kit.rounded_mask((216, 16), 7)
    out = Image.new("RGBA", (216, 16), (0, 0, 0, 0))
    out.paste(image, (0, 0), mask)
    ImageDraw.Draw(out).line((6, 3, 209, 3), fill=(255, 255, 255, 140), width=2)
    return out


def star():
    image = Image.new("RGBA", (64, 64), (0, 0, 0, 0))
    image.alpha_composite(art.glow(64, (255, 220, 120), 0.7))
    art.star(ImageDraw.Draw(image), 32, 32, 26, (255, 220, 110, 200), points=8, inner=0.35)
    return image.filter(ImageFilter.GaussianBlur(1))


def main():
    args = sol_data.parse_args(__doc__)
    out = args.out
    art.save(out, "gfx/results/story_window.png", kit.window((640, 480)))
    art.save(out, "gfx/results/medal_slot.png", medal_slot())
    for kind in ("bronze", "silver", "gold"):
        art.save(out, "gfx/results/medal_%s.png" % kind, art.medal(96, kind))
    art.save(out, "gfx/results/medal_glow.png", art.glow(128, (255, 230, 150), 0.8))
    art.save(out, "gfx/results/lamp_off.png", lamp(False))
    art.save(out, "gfx/results/lamp_on.png", lamp(True))
    art.save(out, "gfx/results/rank_frame.png", rank_frame())
    art.save(out, "gfx/results/rank_fill.png", rank_fill())
    art.save(out, "gfx/results/star.png", star())


if __name__ == "__main__":
    main()
