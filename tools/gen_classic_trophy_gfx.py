#!/usr/bin/env python3
"""Draws the textures of the classic selection (module "classic") and the trophy room
(module "Trophy"). The location pictures of both screens come from gen_story_gfx.py.

gfx/classic/back.png (800 x 600): the room behind the list and the preview.
gfx/classic/menu.png (380 x 560), preview.png (364 x 300): the list panel and the preview window.
gfx/classic/row_<look>.png (344 x 26): an entry's bar, looks normal and hover; lock.png (18 x 18).
gfx/classic/<button>_<look>.png: "up", "down", "menu" in the looks 0 normal, 1 hover, 2 pressed.
gfx/trophy/room.png (800 x 600): the room with its shelves and the places of the ten trophies.
gfx/trophy/trophy_N.png: trophy N (1..10) sized to its place; glow.png: the selected trophy's light.
gfx/trophy/shine.png, hint.png (600 x 44), medal_<kind>.png (56 x 56) and the buttons.
"""

import math

from PIL import Image, ImageDraw, ImageFilter

import screen_art as art
import sol_data

# The trophies' places in the view (x, y, width, height), as the trophy room lays them out.
TROPHY_RECTS = [(79, 65, 137, 144), (225, 83, 104, 129), (352, 75, 97, 87), (464, 89, 113, 118), (584, 66, 135, 135),
                (227, 241, 104, 105), (85, 240, 118, 110), (469, 245, 106, 100), (609, 250, 82, 86),
                (341, 191, 123, 123)]


def felt_room():
    image = Image.new("RGBA", (800, 600), (0, 0, 0, 255))
    draw = ImageDraw.Draw(image)
    for y in range(600):
        t = y / 599
        draw.line((0, y, 800, y), fill=(int(22 + 20 * t), int(90 - 30 * t), int(60 - 20 * t), 255))
    # A faint weave, composited so the felt stays opaque.
    weave = Image.new("RGBA", (800, 600), (0, 0, 0, 0))
    weave_draw = ImageDraw.Draw(weave)
    for x in range(-300, 800, 24):
        weave_draw.line((x, 0, x + 300, 600), fill=(255, 255, 255, 14), width=1)
    image.alpha_composite(weave)
    draw.rectangle((0, 0, 799, 599), outline=art.WOOD + (255,), width=10)
    draw.rectangle((5, 5, 794, 594), outline=art.GOLD + (255,), width=2)
    return image


def classic_menu():
    image = art.panel(380, 560)
    draw = ImageDraw.Draw(image)
    art.outlined_text(draw, (190, 30), "Classic games", art.font(24), (255, 236, 160), art.WOOD_DARK, 2)
    return image


def classic_preview():
    image = art.panel(364, 300)
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((66, 54, 297, 229), radius=6, fill=(40, 30, 20, 255), outline=art.GOLD + (255,), width=3)
    draw.text((182, 268), "Pick a game from the list", font=art.font(14, False), fill=art.INK, anchor="mm")
    return image


def row(look):
    image = Image.new("RGBA", (344, 26), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    if look == 0:
        draw.rounded_rectangle((0, 0, 343, 25), radius=8, fill=(255, 255, 255, 70), outline=(150, 110, 60, 160))
    else:
        draw.rounded_rectangle((0, 0, 343, 25), radius=8, fill=(255, 215, 90, 255), outline=art.WOOD + (255,), width=2)
    return image


def arrow_icon(up):
    def icon(draw, x, y, r):
        tip = -r if up else r
        draw.polygon([(x - r, y - tip * 0.5), (x + r, y - tip * 0.5), (x, y + tip)], fill=(255, 255, 255, 255))
    return icon


def classic_textures(out):
    art.save(out, "gfx/classic/back.png", felt_room())
    art.save(out, "gfx/classic/menu.png", classic_menu())
    art.save(out, "gfx/classic/preview.png", classic_preview())
    for look in range(2):
        art.save(out, "gfx/classic/row_%d.png" % look, row(look))
    lock = Image.new("RGBA", (18, 18), (0, 0, 0, 0))
    art.padlock(ImageDraw.Draw(lock), 9, 10, 8)
    art.save(out, "gfx/classic/lock.png", lock)
    buttons = (("up", 150, 30, "Page 1", arrow_icon(True)), ("down", 150, 30, "Page 2", arrow_icon(False)),
               ("menu", 120, 44, "Menu", None))
    for name, width, height, label, icon in buttons:
        for look, image in enumerate(art.button_looks(width, height, label, (150, 90, 40), 16, icon)):
            art.save(out, "gfx/classic/%s_%d.png" % (name, look), image)


def niche(draw, rect):
    """An arched alcove with a plinth where a trophy stands once it is won."""
    x, y, w, h = rect
    draw.rounded_rectangle((x - 4, y - 4, x + w + 4, y + h + 6), radius=int(min(w, h) * 0.45), fill=(38, 22, 44, 255),
                           outline=(120, 90, 60, 255), width=2)
    draw.rectangle((x + w * 0.12, y + h - 8, x + w * 0.88, y + h + 6), fill=(110, 75, 45, 255), outline=art.GOLD + (255,))
    cx = x + w / 2
    draw.text((cx, y + h * 0.45), "?", font=art.font(int(min(w, h) * 0.4)), fill=(70, 50, 80, 255), anchor="mm")


def trophy_room():
    image = Image.new("RGBA", (800, 600), (0, 0, 0, 255))
    draw = ImageDraw.Draw(image)
    for y in range(600):
        t = y / 599
        draw.line((0, y, 800, y), fill=(int(70 - 30 * t), int(40 - 15 * t), int(70 - 20 * t), 255))
    for rect in TROPHY_RECTS:
        niche(draw, rect)
    art.outlined_text(draw, (400, 30), "Trophy Room", art.font(28), (255, 236, 160), art.WOOD_DARK, 2)
    lower = art.panel(760, 200)
    image.alpha_composite(lower, (20, 392))
    draw.text((200, 418), "Ranks", font=art.font(18), fill=art.INK, anchor="mm")
    draw.text((560, 418), "Medals", font=art.font(18), fill=art.INK, anchor="mm")
    draw.text((450, 552), "Game complete:", font=art.font(16), fill=art.INK, anchor="lm")
    return image


def cup(size, colour, handles=True, stars=0, base=(90, 60, 35)):
    w, h = size
    image = Image.new("RGBA", (w, h), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    light, dark = colour, art.shade(colour, 0.6)
    cx = w / 2
    top, bottom = h * 0.08, h * 0.58
    cw = w * 0.34
    if handles:
        draw.arc((cx - cw - w * 0.14, top + h * 0.05, cx - cw + w * 0.1, bottom - h * 0.12), 90, 270,
                 fill=dark + (255,), width=max(3, w // 18))
        draw.arc((cx + cw - w * 0.1, top + h * 0.05, cx + cw + w * 0.14, bottom - h * 0.12), 270, 90,
                 fill=dark + (255,), width=max(3, w // 18))
    draw.chord((cx - cw, top - (bottom - top), cx + cw, bottom), 0, 180, fill=light + (255,), outline=dark + (255,),
               width=2)
    draw.rectangle((cx - w * 0.05, bottom, cx + w * 0.05, h * 0.76), fill=dark + (255,))
    draw.rectangle((cx - w * 0.24, h * 0.76, cx + w * 0.24, h * 0.86), fill=light + (255,), outline=dark + (255,))
    draw.rectangle((cx - w * 0.3, h * 0.86, cx + w * 0.3, h * 0.98), fill=base + (255,))
    for i in range(stars):
        art.star(draw, cx + (i - (stars - 1) / 2) * w * 0.16, top + (bottom - top) * 0.45, w * 0.07,
                 (255, 255, 230, 255))
    return image


def trophy_picture(number, rect):
    """Trophy `number` (1..10): each its own shape and colour, sized to its place."""
    w, h = rect[2], rect[3]
    gold, silver, ruby, jade = (250, 200, 60), (210, 215, 225), (220, 70, 80), (90, 200, 150)
    if number == 1:
        return cup((w, h), gold, stars=3)
    if number == 2:
        return cup((w, h), ruby, stars=1)
    if number == 3:
        return cup((w, h), silver, handles=False, stars=2)
    if number == 4:
        image = cup((w, h), jade, stars=0)
        draw = ImageDraw.Draw(image)
        for i in range(5):
            a = -math.pi / 2 + i * 2 * math.pi / 5
            draw.ellipse((w / 2 + w * 0.16 * math.cos(a) - 4, h * 0.3 + h * 0.12 * math.sin(a) - 4,
                          w / 2 + w * 0.16 * math.cos(a) + 4, h * 0.3 + h * 0.12 * math.sin(a) + 4), fill=(255, 255, 255, 255))
        return image
    if number == 5:
        image = Image.new("RGBA", (w, h), (0, 0, 0, 0))
        for i in range(3):
            image.alpha_composite(art.medal(int(min(w, h) * 0.55), "gold").resize((int(w * 0.45), int(h * 0.55))),
                                  (int(w * 0.05 + i * w * 0.25), int(h * 0.2 + (i % 2) * h * 0.1)))
        return image
    if number == 6:
        return cup((w, h), gold, handles=False, stars=5)
    if number == 7:
        image = Image.new("RGBA", (w, h), (0, 0, 0, 0))
        draw = ImageDraw.Draw(image)
        art.star(draw, w / 2, h * 0.42, min(w, h) * 0.4, (250, 200, 60, 255))
        art.star(draw, w / 2, h * 0.42, min(w, h) * 0.26, (255, 240, 160, 255))
        draw.rectangle((w * 0.3, h * 0.86, w * 0.7, h * 0.98), fill=(90, 60, 35, 255))
        return image
    if number == 8:
        image = Image.new("RGBA", (w, h), (0, 0, 0, 0))
        draw = ImageDraw.Draw(image)
        draw.rounded_rectangle((w * 0.25, h * 0.06, w * 0.75, h * 0.8), radius=8, fill=(255, 225, 90, 255),
                               outline=(150, 100, 10, 255), width=3)
        art.star(draw, w / 2, h * 0.43, w * 0.16, (200, 120, 20, 255))
        draw.rectangle((w * 0.3, h * 0.86, w * 0.7, h * 0.98), fill=(90, 60, 35, 255))
        return image
    if number == 9:
        return cup((w, h), (170, 120, 230), stars=2)
    return cup((w, h), gold, stars=4, base=(40, 40, 40))


def trophy_textures(out):
    art.save(out, "gfx/trophy/room.png", trophy_room())
    for number, rect in enumerate(TROPHY_RECTS, 1):
        art.save(out, "gfx/trophy/trophy_%d.png" % number, trophy_picture(number, rect))
    art.save(out, "gfx/trophy/glow.png", art.glow(160, (255, 240, 170), 0.9))
    shine = Image.new("RGBA", (40, 160), (0, 0, 0, 0))
    ImageDraw.Draw(shine).polygon([(14, 0), (40, 0), (26, 160), (0, 160)], fill=(255, 255, 255, 120))
    art.save(out, "gfx/trophy/shine.png", shine.filter(ImageFilter.GaussianBlur(3)))
    hint = Image.new("RGBA", (600, 44), (0, 0, 0, 0))
    ImageDraw.Draw(hint).rounded_rectangle((0, 0, 599, 43), radius=12, fill=(252, 244, 222, 255),
                                           outline=art.GOLD + (255,), width=2)
    art.save(out, "gfx/trophy/hint.png", hint)
    for kind in ("gold", "silver", "bronze"):
        art.save(out, "gfx/trophy/medal_%s.png" % kind, art.medal(56, kind))
    buttons = (("ok", 100, 44, "OK", None), ("left", 44, 44, "", arrow_side(True)), ("right", 44, 44, "", arrow_side(False)))
    for name, width, height, label, icon in buttons:
        for look, image in enumerate(art.button_looks(width, height, label, (150, 90, 40), 20, icon)):
            art.save(out, "gfx/trophy/%s_%d.png" % (name, look), image)


def arrow_side(left):
    def icon(draw, x, y, r):
        # The button has no label: the arrow sits in its middle.
        x = x - 4
        tip = -r if left else r
        draw.polygon([(x - tip * 0.5, y - r), (x - tip * 0.5, y + r), (x + tip, y)], fill=(255, 255, 255, 255))
    return icon


def main():
    args = sol_data.parse_args(__doc__)
    classic_textures(args.out)
    trophy_textures(args.out)


if __name__ == "__main__":
    main()
