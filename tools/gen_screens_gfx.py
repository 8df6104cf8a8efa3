#!/usr/bin/env python3
"""Draws the textures of the menus, popups and dialogs (data/effects/modules/screen_kit.as and the
modules built on it) under gfx/screens/. Everything is drawn here from shapes and the DejaVu
faces; nothing is copied. Texts that the game shows are not in these pictures: the game draws
them with its fonts from data/texts, so only the main menu's title is part of the art.

gfx/screens/kit.png (1024 x 1024), rectangles as screen_kit.as cuts them:
    (0, 0, 420, 240)     small window            (420, 0, 480, 560)   large window
    (0, 560, 480, 440)   middle window
    (0, 240, 140, 40)    button: normal, over, down at x 0, 140, 280; disabled at (0, 280)
    (140, 280, 32, 32)   check box off           (180, 280, 32, 32)   check box on
    (220, 280, 32, 32)   check box disabled      (260, 280, 4, 28)    text cursor
    (0, 320, 300, 16)    slider track            (300, 320, 28, 36)   slider thumb
    (0, 360, 381, 41)    list row: over, selected at y 360, 401
    (0, 442, 300, 40)    name field              (0, 482, 160, 36)    tab: normal, chosen at x 0, 160
    (480, 560, 420, 300) window frame glint (the high-score border)
gfx/screens/menu.png (1024 x 1024):
    (0, 0, 800, 600)     main menu background (sky, sea, islands)
    (0, 600, 300, 90)    big sign: normal, over, down at x 0, 300, 600
    (0, 690, 230, 40)    plank: normal, over, down at x 0, 230, 460
    (0, 730, 280, 100)   tooltip bubble          (280, 730, 360, 130) light around the story sign
    (640, 730, 380, 170) title "Palmora Solitaire"
    (0, 860, 300, 150)   fan of cards            (300, 860, 64, 64)   glitter on the sea
"""

import math
import os

from PIL import Image, ImageDraw, ImageFilter

import sol_data

KIT = "gfx/screens/kit.png"
MENU = "gfx/screens/menu.png"

GOLD = (226, 186, 92)
GOLD_LIGHT = (255, 232, 160)
PANEL_TOP = (22, 70, 92)
PANEL_BOTTOM = (10, 36, 56)


def vertical_gradient(size, top, bottom, alpha=255):
    width, height = size
    image = Image.new("RGBA", size, (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    for y in range(height):
        t = y / max(height - 1, 1)
        colour = tuple(int(a + (b - a) * t) for a, b in zip(top, bottom))
        draw.line((0, y, width - 1, y), fill=colour + (alpha,))
    return image


def rounded_mask(size, radius, inset=0):
    mask = Image.new("L", size, 0)
    ImageDraw.Draw(mask).rounded_rectangle((inset, inset, size[0] - 1 - inset, size[1] - 1 - inset),
                                           radius=radius, fill=255)
    return mask


def window(size):
    """A dark teal window with a gold frame and a lighter title band."""
    width, height = size
    fill = vertical_gradient(size, PANEL_TOP, PANEL_BOTTOM, 248)
    image = Image.new("RGBA", size, (0, 0, 0, 0))
    image.paste(fill, (0, 0), rounded_mask(size, 22, 2))
    draw = ImageDraw.Draw(image)
    band = Image.new("RGBA", (width - 16, 44), (255, 255, 255, 26))
    image.alpha_composite(band, (8, 8))
    draw.rounded_rectangle((1, 1, width - 2, height - 2), radius=22, outline=GOLD + (255,), width=4)
    draw.rounded_rectangle((8, 8, width - 9, height - 9), radius=16, outline=(120, 96, 50, 255), width=1)
    for cx, cy in ((14, 14), (width - 15, 14), (14, height - 15), (width - 15, height - 15)):
        draw.ellipse((cx - 5, cy - 5, cx + 5, cy + 5), fill=GOLD_LIGHT + (255,))
    return image


def button_face(size, top, bottom, outline):
    image = Image.new("RGBA", size, (0, 0, 0, 0))
    image.paste(vertical_gradient(size, top, bottom), (0, 0), rounded_mask(size, 12, 1))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((1, 1, size[0] - 2, size[1] - 2), radius=12, outline=outline + (255,), width=2)
    draw.line((12, 4, size[0] - 13, 4), fill=(255, 255, 255, 110), width=2)
    return image


BUTTON_LOOKS = {
    "normal": ((255, 222, 130), (206, 150, 52), (120, 80, 20)),
    "over": ((255, 240, 180), (236, 186, 80), (255, 250, 220)),
    "down": ((190, 140, 50), (236, 190, 96), (110, 70, 20)),
    "disabled": ((150, 150, 150), (105, 105, 105), (80, 80, 80)),
}


def check_box(checked, enabled=True):
    image = Image.new("RGBA", (32, 32), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    frame = GOLD if enabled else (120, 120, 120)
    draw.rounded_rectangle((2, 2, 29, 29), radius=6, fill=(240, 236, 220, 255) if enabled else (150, 150, 150, 255),
                           outline=frame + (255,), width=3)
    if checked:
        tick = (30, 120, 50, 255) if enabled else (90, 90, 90, 255)
        draw.line((8, 16, 14, 23, 25, 8), fill=tick, width=5, joint="curve")
    return image


def slider_track():
    image = Image.new("RGBA", (300, 16), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 2, 299, 13), radius=6, fill=(6, 20, 32, 255), outline=GOLD + (255,), width=2)
    return image


def slider_thumb():
    image = Image.new("RGBA", (28, 36), (0, 0, 0, 0))
    image.paste(vertical_gradient((28, 36), (255, 236, 160), (200, 140, 40)), (0, 0), rounded_mask((28, 36), 8, 1))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((1, 1, 26, 34), radius=8, outline=(110, 70, 20, 255), width=2)
    for x in (9, 14, 19):
        draw.line((x, 10, x, 26), fill=(120, 80, 20, 200), width=1)
    return image


def list_row(alpha, outline):
    image = Image.new("RGBA", (381, 41), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((1, 2, 379, 38), radius=9, fill=GOLD + (alpha,), outline=outline + (255,), width=2)
    return image


def name_field():
    image = Image.new("RGBA", (300, 40), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((1, 1, 298, 38), radius=8, fill=(4, 16, 26, 255), outline=GOLD + (255,), width=2)
    return image


def tab(chosen):
    top, bottom, outline = BUTTON_LOOKS["over" if chosen else "disabled"]
    if not chosen:
        top, bottom = (70, 110, 130), (40, 70, 90)
        outline = (150, 170, 180)
    return button_face((160, 36), top, bottom, outline)


def glint():
    """A bright frame that the high-score border fades in over the window's edge."""
    image = Image.new("RGBA", (420, 300), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((4, 4, 415, 295), radius=14, outline=GOLD_LIGHT + (255,), width=3)
    return image.filter(ImageFilter.GaussianBlur(1.2))


def kit_texture():
    sheet = Image.new("RGBA", (1024, 1024), (0, 0, 0, 0))
    sheet.paste(window((420, 240)), (0, 0))
    sheet.paste(window((480, 560)), (420, 0))
    sheet.paste(window((480, 440)), (0, 560))
    for i, state in enumerate(("normal", "over", "down")):
        sheet.paste(button_face((140, 40), *BUTTON_LOOKS[state]), (140 * i, 240))
    sheet.paste(button_face((140, 40), *BUTTON_LOOKS["disabled"]), (0, 280))
    sheet.paste(check_box(False), (140, 280))
    sheet.paste(check_box(True), (180, 280))
    sheet.paste(check_box(False, enabled=False), (220, 280))
    ImageDraw.Draw(sheet).rectangle((260, 280, 263, 307), fill=(255, 240, 190, 255))
    sheet.paste(slider_track(), (0, 320))
    sheet.paste(slider_thumb(), (300, 320))
    sheet.paste(list_row(70, (255, 240, 200)), (0, 360))
    sheet.paste(list_row(235, (255, 250, 225)), (0, 401))
    sheet.paste(name_field(), (0, 442))
    sheet.paste(tab(False), (0, 482))
    sheet.paste(tab(True), (160, 482))
    sheet.paste(glint(), (480, 560))
    return sol_data.png_bytes(sheet)


# ---- Main menu -----------------------------------------------------------------------------------

def palm(draw, x, base, height, lean):
    """A palm tree silhouette: a tapering bent trunk and a crown of leaf-shaped fronds."""
    steps = 14
    points = []
    for i in range(steps + 1):
        t = i / steps
        points.append((x + lean * t * t, base - height * t, 7 - 4 * t))
    for (x0, y0, w0), (x1, y1, w1) in zip(points, points[1:]):
        draw.polygon([(x0 - w0, y0), (x0 + w0, y0), (x1 + w1, y1), (x1 - w1, y1)], fill=(28, 36, 30, 255))
    top = points[-1][:2]
    for angle in (-170, -140, -110, -75, -40, -10, 20):
        a = math.radians(angle)
        length = 78
        tip = (top[0] + length * math.cos(a), top[1] + 0.55 * length * math.sin(a) + 26)
        mid = (top[0] + 0.5 * length * math.cos(a), top[1] + 0.55 * 0.5 * length * math.sin(a) - 6)
        # A leaf: wide in the middle, pointed at both ends, bent down towards its tip.
        nx, ny = -math.sin(a) * 9, math.cos(a) * 9
        draw.polygon([top, (mid[0] + nx, mid[1] + ny), tip, (mid[0] - nx, mid[1] - ny)], fill=(30, 62, 40, 255))
        draw.line((top, mid, tip), fill=(20, 40, 26, 255), width=2)


def menu_background():
    image = vertical_gradient((800, 600), (250, 178, 110), (120, 190, 220))
    sky = vertical_gradient((800, 330), (58, 120, 190), (250, 196, 140))
    image.paste(sky, (0, 0))
    draw = ImageDraw.Draw(image)
    draw.ellipse((520, 170, 660, 310), fill=(255, 236, 170, 255))
    sea = vertical_gradient((800, 270), (40, 140, 170), (12, 60, 96))
    image.paste(sea, (0, 330))
    # Opaque: ImageDraw writes the fill over the pixels instead of blending it, and a see-through
    # wave would show whatever the view held before the menu was drawn.
    for y in range(344, 600, 22):
        for x in range(-40, 800, 140):
            offset = (y * 37) % 140
            draw.arc((x + offset, y, x + offset + 70, y + 10), 200, 340, fill=(150, 210, 230, 255), width=2)
    draw.ellipse((470, 300, 800, 380), fill=(196, 170, 110, 255))
    draw.ellipse((-80, 310, 260, 400), fill=(186, 160, 104, 255))
    palm(draw, 660, 340, 190, -40)
    palm(draw, 730, 345, 150, 30)
    palm(draw, 90, 352, 170, 36)
    # The lower band under the menu's planks: darker, so their labels stand out.
    band = Image.new("RGBA", (800, 80), (4, 20, 34, 170))
    image.alpha_composite(band, (0, 520))
    return image


def big_sign(state):
    top, bottom, outline = {
        "normal": ((40, 120, 140), (14, 60, 84), GOLD),
        "over": ((60, 150, 170), (24, 84, 110), GOLD_LIGHT),
        "down": ((14, 60, 84), (40, 120, 140), GOLD),
    }[state]
    size = (300, 90)
    image = Image.new("RGBA", size, (0, 0, 0, 0))
    image.paste(vertical_gradient(size, top, bottom), (0, 0), rounded_mask(size, 24, 2))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((2, 2, 297, 87), radius=24, outline=outline + (255,), width=5)
    draw.line((26, 10, 273, 10), fill=(255, 255, 255, 70), width=3)
    return image


def plank(state):
    top, bottom, outline = BUTTON_LOOKS[state]
    top = tuple(int(c * 0.55) for c in top)
    bottom = tuple(int(c * 0.45) for c in bottom)
    return button_face((230, 40), top, bottom, GOLD if state != "over" else GOLD_LIGHT)


def tooltip_bubble():
    image = Image.new("RGBA", (280, 100), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((14, 2, 277, 97), radius=16, fill=(255, 248, 226, 255), outline=(150, 110, 40, 255), width=3)
    draw.polygon([(16, 40), (0, 50), (16, 60)], fill=(150, 110, 40, 255))
    return image


def light():
    image = Image.new("RGBA", (360, 130), (0, 0, 0, 0))
    ImageDraw.Draw(image).rounded_rectangle((20, 20, 339, 109), radius=36, outline=(255, 240, 160, 255), width=14)
    return image.filter(ImageFilter.GaussianBlur(8))


def title():
    image = Image.new("RGBA", (380, 170), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    big, small = sol_data.dejavu(62), sol_data.dejavu(40)
    for dx, dy in ((4, 4), (3, 3)):
        draw.text((190 + dx, 50 + dy), "Palmora", font=big, fill=(30, 20, 10, 200), anchor="mm")
        draw.text((190 + dx, 120 + dy), "Solitaire", font=small, fill=(30, 20, 10, 200), anchor="mm")
    draw.text((190, 50), "Palmora", font=big, fill=GOLD_LIGHT + (255,), anchor="mm", stroke_width=3,
              stroke_fill=(120, 70, 10, 255))
    draw.text((190, 120), "Solitaire", font=small, fill=(255, 255, 255, 255), anchor="mm", stroke_width=2,
              stroke_fill=(30, 70, 100, 255))
    return image


def card(draw, box, suit_colour, label):
    draw.rounded_rectangle(box, radius=8, fill=(250, 248, 240, 255), outline=(70, 70, 70, 255), width=2)
    draw.text((box[0] + 10, box[1] + 6), label, font=sol_data.dejavu(22), fill=suit_colour)


def card_fan():
    image = Image.new("RGBA", (300, 150), (0, 0, 0, 0))
    for i, (label, colour) in enumerate((("A", (200, 30, 40, 255)), ("K", (20, 20, 20, 255)),
                                          ("Q", (200, 30, 40, 255)), ("J", (20, 20, 20, 255)))):
        one = Image.new("RGBA", (90, 124), (0, 0, 0, 0))
        card(ImageDraw.Draw(one), (2, 2, 87, 121), colour, label)
        turned = one.rotate(24 - 16 * i, resample=Image.BICUBIC, expand=True)
        image.alpha_composite(turned, (4 + 52 * i, 2))
    return image


def glitter():
    """A soft four-pointed sparkle for the light on the sea."""
    image = Image.new("RGBA", (64, 64), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.polygon([(32, 14), (36, 28), (50, 32), (36, 36), (32, 50), (28, 36), (14, 32), (28, 28)],
                 fill=(255, 252, 220, 220))
    draw.ellipse((27, 27, 37, 37), fill=(255, 255, 255, 255))
    return image.filter(ImageFilter.GaussianBlur(1.0))


def menu_texture():
    sheet = Image.new("RGBA", (1024, 1024), (0, 0, 0, 0))
    sheet.paste(menu_background(), (0, 0))
    for i, state in enumerate(("normal", "over", "down")):
        sheet.paste(big_sign(state), (300 * i, 600))
        sheet.paste(plank(state), (230 * i, 690))
    sheet.paste(tooltip_bubble(), (0, 730))
    sheet.paste(light(), (280, 730))
    sheet.paste(title(), (640, 730))
    sheet.paste(card_fan(), (0, 860))
    sheet.paste(glitter(), (300, 860))
    return sol_data.png_bytes(sheet)


def main():
    args = sol_data.parse_args("Draws the textures of the menus, popups and dialogs.")
    sol_data.write_if_changed(os.path.join(args.out, KIT), kit_texture())
    sol_data.write_if_changed(os.path.join(args.out, MENU), menu_texture())


if __name__ == "__main__":
    main()
