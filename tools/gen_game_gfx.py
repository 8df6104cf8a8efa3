#!/usr/bin/env python3
"""Draws the textures of the game screen (modules "interface", "table", "bonus_cursor", the
backgrounds "back_N" and "back_N_lite", and the card sprites that data/effects/modules/table.as
cuts) and writes "Logic.ini" with the [Interface] values the in-game controller reads. Everything
is drawn here from shapes and the DejaVu fonts; nothing is copied.

gfx/game/cards_N.png (N = 1..3, 1040 x 428): the 52 faces of card set N, 80 x 107 each, column =
    rank (ace first), row = suit (0 clubs, 1 spades, 2 hearts, 3 diamonds: suit bit 1 is the colour).
gfx/game/card_parts.png (660 x 120): backs 1..3 at x 0, 80, 160 (80 x 107); shadows small, middle,
    big at x 240, 330, 420 (84 x 111); bonus fill at 510 (80 x 107); mana gauge at 600 (48 x 48).
gfx/game/panel.png (800 x 256): top bar (0, 0, 800, 64), bottom bar (0, 64, 800, 40); at y 104,
    48 x 48 each: hint, undo, deal, relax, menu, bonus place, wooden frame, lamp off, lamp on,
    bonus cursor, deal glow (x = 48 * index).
gfx/game/bonuses.png (240 x 240): the 25 bonus icons, 48 x 48, row-major.
gfx/game/back_N.png (N = 1..5, 800 x 600) and gfx/game/back_lite.png: the location backgrounds.
gfx/game/table.png, gfx/game/table_shad.png (800 x 600): the table view and its shadow.
gfx/interface/general/cards/bonus_frame.png (88 x 115): the frame of the bonus card.
"""

import io
import math
import os

from PIL import Image, ImageDraw, ImageFilter, ImageFont

import sol_data

CARD_W, CARD_H = 80, 107
FONT_DIR = "/usr/share/fonts/truetype/dejavu"
SUIT_COLOURS = [(20, 20, 20, 255), (20, 20, 20, 255), (200, 30, 40, 255), (200, 30, 40, 255)]
RANKS = ["A", "2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K"]
SET_TINTS = [(250, 248, 240), (244, 248, 255), (255, 246, 236)]
BACK_COLOURS = [(30, 70, 150), (150, 30, 40), (30, 110, 60)]
LOCATION_SKIES = [
    ((40, 140, 200), (250, 220, 150)),
    ((30, 110, 170), (255, 190, 120)),
    ((20, 80, 120), (200, 230, 200)),
    ((120, 90, 60), (250, 210, 140)),
    ((20, 30, 70), (120, 140, 200)),
]
BONUS_ICON_COLOURS = [(230, 190, 60), (90, 180, 240), (230, 90, 90), (120, 210, 120), (200, 130, 230)]

INTERFACE_VALUES = [
    ("card_width", "80"),
    ("card_height", "107"),
    ("autohint", "30"),
    ("autohint2", "20"),
    ("bonus_screen_x1", "500"),
    ("bonus_screen_x2", "556"),
    ("bonus_screen_x3", "612"),
    ("bonus_screen_x4", "668"),
    ("bonus_screen_x5", "724"),
    ("bonus_screen_y", "32"),
]


def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    try:
        return ImageFont.truetype(os.path.join(FONT_DIR, name), size)
    except OSError:
        return ImageFont.load_default()


def png_bytes(image):
    buffer = io.BytesIO()
    image.save(buffer, format="PNG", optimize=False)
    return buffer.getvalue()


def draw_suit(draw, suit, cx, cy, r, colour):
    if suit == 2:  # heart
        draw.ellipse((cx - r, cy - r, cx, cy), fill=colour)
        draw.ellipse((cx, cy - r, cx + r, cy), fill=colour)
        draw.polygon([(cx - r, cy - r / 2), (cx + r, cy - r / 2), (cx, cy + r)], fill=colour)
    elif suit == 3:  # diamond
        draw.polygon([(cx, cy - r), (cx + r * 0.75, cy), (cx, cy + r), (cx - r * 0.75, cy)], fill=colour)
    elif suit == 1:  # spade
        draw.polygon([(cx, cy - r), (cx - r, cy + r * 0.3), (cx + r, cy + r * 0.3)], fill=colour)
        draw.ellipse((cx - r, cy - r * 0.2, cx, cy + r * 0.6), fill=colour)
        draw.ellipse((cx, cy - r * 0.2, cx + r, cy + r * 0.6), fill=colour)
        draw.polygon([(cx, cy + r * 0.2), (cx - r * 0.4, cy + r), (cx + r * 0.4, cy + r)], fill=colour)
    else:  # club
        q = r * 0.5
        draw.ellipse((cx - q, cy - r, cx + q, cy), fill=colour)
        draw.ellipse((cx - r, cy - q * 0.6, cx, cy + q * 1.4), fill=colour)
        draw.ellipse((cx, cy - q * 0.6, cx + r, cy + q * 1.4), fill=colour)
        draw.polygon([(cx, cy), (cx - r * 0.4, cy + r), (cx + r * 0.4, cy + r)], fill=colour)


def card_face(card_set, suit, rank, fonts):
    image = Image.new("RGBA", (CARD_W, CARD_H), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 0, CARD_W - 1, CARD_H - 1), radius=7, fill=SET_TINTS[card_set] + (255,),
                           outline=(90, 90, 90, 255), width=1)
    colour = SUIT_COLOURS[suit]
    label = RANKS[rank]
    draw.text((6, 3), label, font=fonts["corner"], fill=colour)
    draw_suit(draw, suit, 12, 30, 6, colour)
    # The centre: a big suit for pips and aces, a framed letter for the court cards.
    if rank >= 10:
        draw.rectangle((20, 22, CARD_W - 21, CARD_H - 23), outline=colour, width=2)
        draw.text((CARD_W / 2, CARD_H / 2 - 8), label, font=fonts["court"], fill=colour, anchor="mm")
        draw_suit(draw, suit, CARD_W / 2, CARD_H / 2 + 20, 8, colour)
    else:
        draw_suit(draw, suit, CARD_W / 2, CARD_H / 2 + 4, 18 if rank == 0 else 14, colour)
        if rank > 0:
            draw.text((CARD_W / 2, CARD_H - 14), label, font=fonts["pip"], fill=colour, anchor="mm")
    return image


def cards_texture(card_set):
    fonts = {"corner": font(15), "court": font(30), "pip": font(12, bold=False)}
    sheet = Image.new("RGBA", (13 * CARD_W, 4 * CARD_H), (0, 0, 0, 0))
    for suit in range(4):
        for rank in range(13):
            sheet.paste(card_face(card_set, suit, rank, fonts), (rank * CARD_W, suit * CARD_H))
    return sheet


def card_back(colour):
    image = Image.new("RGBA", (CARD_W, CARD_H), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 0, CARD_W - 1, CARD_H - 1), radius=7, fill=(245, 245, 245, 255),
                           outline=(80, 80, 80, 255))
    draw.rounded_rectangle((5, 5, CARD_W - 6, CARD_H - 6), radius=5, fill=colour + (255,))
    light = tuple(min(255, c + 60) for c in colour) + (255,)
    for i in range(-CARD_H, CARD_W, 10):
        draw.line((5 + i, 5, 5 + i + CARD_H, 5 + CARD_H), fill=light, width=2)
    draw.rounded_rectangle((5, 5, CARD_W - 6, CARD_H - 6), radius=5, outline=(250, 220, 120, 255), width=2)
    return image


def shadow(blur):
    image = Image.new("RGBA", (84, 111), (0, 0, 0, 0))
    ImageDraw.Draw(image).rounded_rectangle((4, 4, 79, 106), radius=8, fill=(0, 0, 0, 110))
    return image.filter(ImageFilter.GaussianBlur(blur))


def card_parts():
    sheet = Image.new("RGBA", (660, 120), (0, 0, 0, 0))
    for i, colour in enumerate(BACK_COLOURS):
        sheet.paste(card_back(colour), (80 * i, 0))
    for i, blur in enumerate((1.5, 2.5, 3.5)):
        sheet.paste(shadow(blur), (240 + 90 * i, 0))
    fill = Image.new("RGBA", (CARD_W, CARD_H), (0, 0, 0, 0))
    ImageDraw.Draw(fill).rounded_rectangle((2, 2, CARD_W - 3, CARD_H - 3), radius=7, fill=(255, 215, 90, 70),
                                           outline=(255, 230, 140, 200), width=2)
    sheet.paste(fill, (510, 0))
    gauge = Image.new("RGBA", (48, 48), (0, 0, 0, 0))
    draw = ImageDraw.Draw(gauge)
    draw.ellipse((2, 2, 45, 45), fill=(70, 160, 255, 230), outline=(200, 230, 255, 255), width=2)
    draw.ellipse((12, 8, 28, 20), fill=(220, 240, 255, 160))
    sheet.paste(gauge, (600, 0))
    return sheet


def bonus_frame():
    image = Image.new("RGBA", (88, 115), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((1, 1, 86, 113), radius=9, outline=(255, 210, 60, 255), width=3)
    draw.rounded_rectangle((4, 4, 83, 110), radius=7, outline=(255, 245, 180, 180), width=1)
    return image


def button(draw, x, colour, symbol, fnt):
    draw.ellipse((x + 2, 106, x + 45, 149), fill=colour + (255,), outline=(250, 230, 160, 255), width=3)
    draw.text((x + 24, 128), symbol, font=fnt, fill=(255, 255, 255, 255), anchor="mm")


def panel():
    sheet = Image.new("RGBA", (800, 256), (0, 0, 0, 0))
    draw = ImageDraw.Draw(sheet)
    for y in range(64):
        shade = int(110 - y)
        draw.line((0, y, 799, y), fill=(shade + 40, shade + 20, shade, 235))
    draw.line((0, 62, 799, 62), fill=(230, 190, 100, 255), width=2)
    for y in range(40):
        shade = int(60 + y)
        draw.line((0, 64 + y, 799, 64 + y), fill=(shade + 40, shade + 20, shade, 235))
    draw.line((0, 65, 799, 65), fill=(230, 190, 100, 255), width=2)
    fnt = font(20)
    button(draw, 0, (170, 30, 60), "?", fnt)          # hint
    button(draw, 48, (60, 90, 160), "\u21b6", fnt)    # undo
    button(draw, 96, (40, 130, 80), "\u21bb", fnt)    # deal
    button(draw, 144, (120, 80, 160), "Z", fnt)       # relax
    button(draw, 192, (150, 110, 40), "\u2261", fnt)  # menu
    draw.ellipse((240 + 4, 108, 240 + 43, 147), outline=(230, 190, 100, 255), width=2)  # bonus place
    draw.rectangle((288, 104, 335, 151), fill=(120, 80, 40, 255), outline=(70, 45, 20, 255), width=4)
    for i in range(4):
        draw.line((292, 112 + 10 * i, 331, 110 + 10 * i), fill=(90, 60, 30, 255), width=2)
    draw.ellipse((336 + 12, 116, 336 + 35, 139), fill=(80, 40, 40, 255), outline=(40, 20, 20, 255), width=2)
    draw.ellipse((384 + 12, 116, 384 + 35, 139), fill=(120, 255, 120, 255), outline=(40, 120, 40, 255), width=2)
    draw.polygon([(432 + 4, 106), (432 + 4, 140), (432 + 14, 130), (432 + 24, 148), (432 + 30, 145),
                  (432 + 20, 127), (432 + 34, 126)], fill=(255, 220, 90, 255), outline=(90, 60, 10, 255))
    for width, alpha in ((5, 90), (3, 170), (1, 255)):  # the deal button's glow on a stuck table
        draw.ellipse((480 + 1, 105, 480 + 46, 150), outline=(255, 215, 80, alpha), width=width)
    return sheet


def bonus_icons():
    sheet = Image.new("RGBA", (240, 240), (0, 0, 0, 0))
    draw = ImageDraw.Draw(sheet)
    fnt = font(18)
    for i in range(25):
        x, y = 48 * (i % 5), 48 * (i // 5)
        colour = BONUS_ICON_COLOURS[i % 5]
        draw.ellipse((x + 3, y + 3, x + 44, y + 44), fill=colour + (255,), outline=(255, 255, 255, 255), width=2)
        draw.text((x + 24, y + 24), str(i + 1), font=fnt, fill=(30, 30, 30, 255), anchor="mm")
    return sheet


def gradient(top, bottom, size=(800, 600)):
    column = Image.new("RGBA", (1, 256))
    for y in range(256):
        t = y / 255.0
        column.putpixel((0, y), tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,))
    return column.resize(size, Image.BILINEAR)


def background(index):
    sky, sand = LOCATION_SKIES[index]
    image = gradient(sky, sand)
    draw = ImageDraw.Draw(image)
    # A sun and a horizon of hills, placed differently for each location.
    cx = 150 + 120 * index
    draw.ellipse((cx - 50, 120, cx + 50, 220), fill=(255, 240, 190, 200))
    points = [(0, 600), (0, 420)]
    for x in range(0, 801, 50):
        points.append((x, 420 + int(30 * math.sin(x / 90.0 + index))))
    points.append((800, 600))
    draw.polygon(points, fill=tuple(max(0, c - 60) for c in sand) + (255,))
    return image


def table_picture():
    image = gradient((20, 100, 50), (10, 70, 35))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((10, 70, 789, 555), radius=30, outline=(120, 80, 40, 255), width=8)
    return image


def table_shadow():
    image = Image.new("RGBA", (800, 600), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    for i in range(12):
        draw.rectangle((i, i, 799 - i, 599 - i), outline=(0, 0, 0, 120 - 10 * i))
    return image


def logic_ini():
    lines = ["[Interface]"] + ["%s=%s" % kv for kv in INTERFACE_VALUES]
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def main():
    args = sol_data.parse_args(__doc__)
    out = args.out

    def write(rel, image):
        sol_data.write_if_changed(os.path.join(out, rel), png_bytes(image))

    for card_set in range(3):
        write("gfx/game/cards_%d.png" % (card_set + 1), cards_texture(card_set))
    write("gfx/game/card_parts.png", card_parts())
    write("gfx/game/panel.png", panel())
    write("gfx/game/bonuses.png", bonus_icons())
    for index in range(5):
        write("gfx/game/back_%d.png" % (index + 1), background(index))
    write("gfx/game/back_lite.png", gradient((40, 90, 140), (200, 180, 140), (400, 300)))
    write("gfx/game/table.png", table_picture())
    write("gfx/game/table_shad.png", table_shadow())
    write("gfx/interface/general/cards/bonus_frame.png", bonus_frame())
    sol_data.write_if_changed(os.path.join(out, "Logic.ini"), logic_ini())


if __name__ == "__main__":
    main()
