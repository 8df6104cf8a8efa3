#!/usr/bin/env python3
"""Draws the texture of the two in-game menus (data/effects/modules/in_game_menu.as and
in_game_menu_classic.as): the window in the screen kit's look, long buttons for the menu's
choices, small pictures of the three card backs (the table's own, from gen_game_gfx.py) with the
ring that marks the chosen set, and the plate the card set stands on. Texts are not in the
picture: the game draws them from data/texts.

gfx/menus/in_game_menu.png (560 x 460):
    window (0, 0, 296, 446);
    buttons (300, 34 * i, 236, 34) for i = 0 normal, 1 over, 2 down, 3 disabled;
    card backs (300 + 44 * s, 140, 40, 54) for set s = 0..2;
    chosen ring (300, 200, 52, 66), hover ring (360, 200, 52, 66);
    plate (300, 270, 260, 76).
"""

from PIL import Image, ImageDraw, ImageFilter

import gen_game_gfx as game
import gen_screens_gfx as kit
import screen_art as art
import sol_data

BUTTON = (236, 34)
CARD = (40, 54)
RING = (52, 66)


def long_button(state):
    return kit.button_face(BUTTON, *kit.BUTTON_LOOKS[state])


def card_thumbnail(colour):
    return game.card_back(colour).resize(CARD, Image.LANCZOS)


def ring(colour, width, blur):
    image = Image.new("RGBA", RING, (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((3, 3, RING[0] - 4, RING[1] - 4), radius=8, outline=colour, width=width)
    return image.filter(ImageFilter.GaussianBlur(blur)) if blur > 0 else image


def plate():
    image = Image.new("RGBA", (260, 76), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((1, 1, 258, 74), radius=12, fill=(4, 18, 30, 200), outline=kit.GOLD + (160,), width=2)
    return image


def texture():
    sheet = Image.new("RGBA", (560, 460), (0, 0, 0, 0))
    sheet.paste(kit.window((296, 446)), (0, 0))
    for i, state in enumerate(("normal", "over", "down", "disabled")):
        sheet.paste(long_button(state), (300, 34 * i))
    for s, colour in enumerate(game.BACK_COLOURS):
        sheet.paste(card_thumbnail(colour), (300 + 44 * s, 140))
    chosen = ring(kit.GOLD_LIGHT + (255,), 4, 0)
    chosen.alpha_composite(ring(kit.GOLD + (200,), 6, 1.5))
    sheet.paste(chosen, (300, 200))
    sheet.paste(ring((255, 255, 255, 150), 3, 0.8), (360, 200))
    sheet.paste(plate(), (300, 270))
    return sheet


def main():
    args = sol_data.parse_args(__doc__)
    art.save(args.out, "gfx/menus/in_game_menu.png", texture())


if __name__ == "__main__":
    main()
