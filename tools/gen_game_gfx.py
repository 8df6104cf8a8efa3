#!/usr/bin/env python3
"""Draws the textures of the game screen (modules "interface", "table", "bonus_cursor", the
backgrounds "back_N" and "back_N_lite", and the card sprites that data/effects/modules/table.as
cuts) and writes "Logic.ini" with the [Interface] values the in-game controller reads. Everything
is drawn here from shapes and the DejaVu fonts; nothing is copied.

gfx/game/cards_N.png (N = 1..3, 1040 x 428): the 52 faces of card set N, 80 x 107 each, column =
    rank (ace first), row = suit (0 clubs, 1 spades, 2 hearts, 3 diamonds: suit bit 1 is the colour).
gfx/game/card_parts.png (660 x 120): backs 1..3 at x 0, 80, 160 (80 x 107); shadows small, middle,
    big at x 240, 330, 420 (84 x 111); bonus fill at 510 (80 x 107).
gfx/game/mana_gauge.png (48 x 48): the mana gauge.
gfx/game/panel.png (800 x 256): top bar (0, 0, 800, 64), bottom bar (0, 64, 800, 40); at y 104,
    48 x 48 each: hint, undo, deal, relax, menu, bonus place, wooden frame, lamp off, lamp on,
    bonus cursor, deal glow (x = 48 * index); at (0, 160) the bonus tooltips' box, 150 x 52.
gfx/game/rules.png (228 x 256): the big rules window's pieces (0, 0, 64, 64), the lines beside its
    rules button (0, 70, 150, 18) and (0, 92, 96, 32), and the rules button (0, 228, 72, 26).
gfx/game/bonuses.png (240 x 240): the 25 bonus icons, 48 x 48, row-major.
gfx/game/back_N.png (N = 1..5, 800 x 600) and gfx/game/back_lite.png: the location backgrounds.
gfx/game/table.png, gfx/game/table_shad.png (800 x 600): the table view and its shadow.
gfx/interface/general/cards/bonus_frame.png (88 x 115): the frame of the bonus card.
gfx/game/places.png (1120 x 393): at y 0 the frames of an empty place, 80 x 107 (plain, then with
    the ranks A..K); at y 107 the stock's badges of passes left, 40 x 40 (no limit, then 0..18,
    19 and "19+"); at y 147 the twelve frames of the fire round a place, 96 x 123 (six a row).
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
# By what a bonus does: to the house, into the deck, peek, shuffle, swap or take, one more pass.
BONUS_KIND_COLOURS = {"house": (220, 170, 40), "deck": (60, 120, 200), "peek": (150, 90, 200),
                      "shuffle": (60, 160, 90), "move": (200, 70, 70), "pass": (40, 150, 160)}

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
    # The suit again in the top right corner: a card covered in a fan still shows rank and suit.
    draw_suit(draw, suit, CARD_W - 13, 12, 6, colour)
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
    return sheet


def mana_gauge():
    # A texture of its own: the mana bar cuts its partly filled gauges from the texture's top-left
    # corner, which on a shared sheet would be another picture.
    gauge = Image.new("RGBA", (48, 48), (0, 0, 0, 0))
    draw = ImageDraw.Draw(gauge)
    draw.ellipse((2, 2, 45, 45), fill=(70, 160, 255, 230), outline=(200, 230, 255, 255), width=2)
    draw.ellipse((12, 8, 28, 20), fill=(220, 240, 255, 160))
    return gauge


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
    # The bonus tooltips' box: room for three lines of the small font.
    draw.rounded_rectangle((0, 160, 149, 211), radius=6, fill=(50, 34, 18, 250), outline=(230, 190, 100, 255),
                           width=2)
    return sheet


RULES_INK = (130, 60, 20, 255)


def close_hint(draw, x, y, w, lines):
    """The line beside the big window's rules button that says it closes the window: the words
    right-aligned in the cell (x, y, w), and an arrow to the button at the cell's right end."""
    fnt = font(12)
    line_height = 15
    arrow = 14
    for i, text in enumerate(lines):
        draw.text((x + w - arrow - 4, y + 1 + i * line_height), text, font=fnt, fill=RULES_INK, anchor="ra")
    middle = y + (len(lines) * line_height) // 2 + 1
    draw.line((x + w - arrow, middle, x + w - 5, middle), fill=RULES_INK, width=2)
    draw.polygon([(x + w - 1, middle), (x + w - 7, middle - 5), (x + w - 7, middle + 5)], fill=RULES_INK)


def rules():
    """The rules panel: the big window's pieces, the lines that point at the rules button, and the
    rules button."""
    sheet = Image.new("RGBA", (228, 256), (0, 0, 0, 0))
    draw = ImageDraw.Draw(sheet)
    # A small window whose corners, edges and middle (16 x 16 each) stretch to any size: the
    # middle columns and rows repeat, so a stretched edge never blends with what lies beside it.
    draw.rounded_rectangle((0, 0, 63, 63), radius=10, fill=(250, 240, 214, 255), outline=(120, 80, 40, 255),
                           width=4)
    draw.rounded_rectangle((6, 6, 57, 57), radius=7, outline=(200, 160, 90, 255), width=1)
    close_hint(draw, 0, 70, 150, ["Click Rules to close"])
    close_hint(draw, 0, 92, 96, ["Click Rules", "to close"])
    fnt = font(13)
    draw.rounded_rectangle((0, 228, 71, 253), radius=11, fill=(150, 110, 40, 255), outline=(250, 230, 160, 255),
                           width=2)
    draw.text((36, 241), "Rules", font=fnt, fill=(255, 255, 255, 255), anchor="mm")
    return sheet


def small_card(draw, x, y, w, h, face=True):
    fill = (250, 248, 240, 255) if face else (40, 80, 160, 255)
    draw.rounded_rectangle((x, y, x + w, y + h), radius=3, fill=fill, outline=(40, 40, 40, 255), width=1)


def arrow(draw, x1, y1, x2, y2, colour=(255, 255, 255, 255), width=4):
    """A straight arrow from (x1, y1) to (x2, y2) with its head at the end."""
    draw.line((x1, y1, x2, y2), fill=colour, width=width)
    angle = math.atan2(y2 - y1, x2 - x1)
    head = [(x2 + 3 * math.cos(angle), y2 + 3 * math.sin(angle))]
    for side in (-1, 1):
        a = angle + side * 2.5
        head.append((x2 + 9 * math.cos(a), y2 + 9 * math.sin(a)))
    draw.polygon(head, fill=colour)


def eye(draw, cx, cy):
    draw.ellipse((cx - 14, cy - 8, cx + 14, cy + 8), fill=(255, 255, 255, 255), outline=(30, 30, 30, 255), width=2)
    draw.ellipse((cx - 5, cy - 5, cx + 5, cy + 5), fill=(40, 90, 160, 255))
    draw.ellipse((cx - 2, cy - 2, cx + 2, cy + 2), fill=(0, 0, 0, 255))


def bonus_picture(draw, code, x, y):
    """What bonus `code` does, drawn on the 48 x 48 cell at (x, y)."""
    cx, cy = x + 24, y + 24
    if code <= 11 and code % 2 == 0:      # to the house: a card flies up onto the foundation
        small_card(draw, cx - 10, y + 8, 20, 14, face=True)
        draw.text((cx, y + 15), "A", font=font(10), fill=(200, 30, 40, 255), anchor="mm")
        arrow(draw, cx, y + 40, cx, y + 26)
    elif code <= 11:                      # into the deck: a card goes down into the stock
        small_card(draw, cx - 10, y + 26, 20, 14, face=False)
        arrow(draw, cx, y + 8, cx, y + 22)
    elif code in (12, 13):                # peek at a card
        eye(draw, cx, cy)
    elif code in (14, 23):                # a whole pile: peek at it, or turn it face up
        for i in range(3):
            small_card(draw, x + 9 + 6 * i, y + 20 + 3 * i, 18, 22, face=code == 23 or i == 2)
        if code == 14:
            eye(draw, cx, y + 14)
        else:
            arrow(draw, x + 10, y + 14, x + 38, y + 14, width=3)
    elif code in (15, 16, 17, 18):        # shuffle: two crossing arrows
        arrow(draw, x + 10, y + 34, x + 36, y + 12, width=3)
        arrow(draw, x + 10, y + 12, x + 36, y + 34, width=3)
    elif code in (19, 21):                # swap two cards, or the first and the last chosen
        small_card(draw, x + 5, y + 14, 14, 20, face=True)
        small_card(draw, x + 29, y + 14, 14, 20, face=code == 21)
        arrow(draw, x + 18, y + 10, x + 32, y + 10, width=2)
        arrow(draw, x + 30, y + 38, x + 16, y + 38, width=2)
    elif code in (20, 22):                # take cards into the hand
        small_card(draw, x + 12, y + 18, 18, 22, face=True)
        small_card(draw, x + 17, y + 22, 18, 22, face=True)
        arrow(draw, x + 38, y + 40, x + 38, y + 10, width=3)
    else:                                 # one more pass through the stock
        small_card(draw, cx - 9, cy - 12, 18, 24, face=False)
        draw.arc((x + 6, y + 6, x + 42, y + 42), 200, 520, fill=(255, 255, 255, 255), width=3)
        arrow(draw, x + 12, y + 13, x + 9, y + 19, width=3)


def bonus_kind(code):
    if code <= 11:
        return "house" if code % 2 == 0 else "deck"
    if code in (12, 13, 14, 23):
        return "peek"
    if code in (15, 16, 17, 18):
        return "shuffle"
    return "pass" if code == 24 else "move"


def bonus_icons():
    sheet = Image.new("RGBA", (240, 240), (0, 0, 0, 0))
    draw = ImageDraw.Draw(sheet)
    for i in range(25):
        x, y = 48 * (i % 5), 48 * (i // 5)
        colour = BONUS_KIND_COLOURS[bonus_kind(i)]
        draw.ellipse((x + 2, y + 2, x + 45, y + 45), fill=colour + (255,), outline=(255, 255, 255, 255), width=2)
        bonus_picture(draw, i, x, y)
    return sheet


def place_frame(label, fnt):
    """An empty place: a dark veil with a light border, so it shows on every background."""
    image = Image.new("RGBA", (CARD_W, CARD_H), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((1, 1, CARD_W - 2, CARD_H - 2), radius=7, fill=(0, 0, 0, 70),
                           outline=(255, 250, 225, 220), width=2)
    draw.rounded_rectangle((5, 5, CARD_W - 6, CARD_H - 6), radius=5, outline=(255, 250, 225, 90), width=1)
    if label:
        draw.text((CARD_W / 2, CARD_H / 2), label, font=fnt, fill=(255, 250, 225, 170), anchor="mm")
    return image


def count_badge(label, fnt):
    image = Image.new("RGBA", (40, 40), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.ellipse((2, 2, 37, 37), fill=(30, 60, 110, 230), outline=(255, 230, 150, 255), width=2)
    draw.text((20, 20), label, font=fnt, fill=(255, 255, 255, 255), anchor="mm")
    return image


def place_fire(step):
    """Frame `step` of the fire round a place: a golden glow that flares up, then fades."""
    strength = [0.5, 0.8, 1.0, 1.0, 0.95, 0.85, 0.75, 0.6, 0.5, 0.35, 0.2, 0.1][step]
    image = Image.new("RGBA", (96, 123), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    grow = 2 * step % 6
    draw.rounded_rectangle((6 - grow / 2, 6 - grow / 2, 89 + grow / 2, 116 + grow / 2), radius=10,
                           outline=(255, 190, 60, int(255 * strength)), width=6)
    glow = image.filter(ImageFilter.GaussianBlur(4))
    ImageDraw.Draw(glow).rounded_rectangle((8, 8, 87, 114), radius=8, outline=(255, 240, 170, int(255 * strength)),
                                           width=2)
    return glow


def places():
    sheet = Image.new("RGBA", (1120, 393), (0, 0, 0, 0))
    rank_font, badge_font = font(34), font(15)
    for i, label in enumerate([""] + RANKS):
        sheet.paste(place_frame(label, rank_font), (CARD_W * i, 0))
    for i, label in enumerate(["\u221e"] + [str(n) for n in range(19)] + ["19+"]):
        sheet.paste(count_badge(label, font(22) if i == 0 else badge_font), (40 * i, 107))
    for step in range(12):
        sheet.paste(place_fire(step), (96 * (step % 6), 147 + 123 * (step // 6)))
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
    # Opaque, as the whole background: the fill replaces the sky's pixels rather than blending.
    draw.ellipse((cx - 50, 120, cx + 50, 220), fill=(255, 240, 190, 255))
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
    write("gfx/game/mana_gauge.png", mana_gauge())
    write("gfx/game/rules.png", rules())
    write("gfx/game/panel.png", panel())
    write("gfx/game/bonuses.png", bonus_icons())
    write("gfx/game/places.png", places())
    for index in range(5):
        write("gfx/game/back_%d.png" % (index + 1), background(index))
    write("gfx/game/back_lite.png", gradient((40, 90, 140), (200, 180, 140), (400, 300)))
    write("gfx/game/table.png", table_picture())
    write("gfx/game/table_shad.png", table_shadow())
    write("gfx/interface/general/cards/bonus_frame.png", bonus_frame())
    sol_data.write_if_changed(os.path.join(out, "Logic.ini"), logic_ini())


if __name__ == "__main__":
    main()
