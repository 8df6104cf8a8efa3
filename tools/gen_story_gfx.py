#!/usr/bin/env python3
"""Draws the textures of the story map (module "Story_Map_3"), of the new-location window
("new_location") and the location pictures of the classic selection ("classic"), all drawn
from the five island pictures of screen_art.py.

gfx/story/island_N.png (800 x 600): location N's map; the level buttons stand on its island.
gfx/story/<kind>_<state>.png (44 x 44): the slot icons, kind level, bonus or hardcore, state
    closed, opened, bronze, silver, gold or master.
gfx/story/title_N.png (220 x 40), number_N.png (24 x 24), label_bonus.png and label_hardcore.png
    (80 x 20): the words on the chart, drawn as pictures so that they zoom with it.
gfx/story/sea.png (800 x 600): the open sea around the islands, seen on a journey.
gfx/story/*.png: the panel, buttons (looks 0 normal, 1 hover, 2 pressed), location buttons,
    helm, hint, shadow bar, banners and lights of the map screen.
gfx/common/rank_N.png (96 x 96): the thirteen rank emblems (also shown in the trophy room).
gfx/new_location/*.png: the window, its photos foto_N (220 x 150) and the yes/no buttons.
gfx/classic/foto_N_<look>.png (112 x 84): the location pictures of the classic selection, looks
    0 normal, 1 hover, 2 selected, off (locked).
"""

import math

from PIL import Image, ImageDraw

import screen_art as art
import sol_data

ICON = 44
STATES = ["closed", "opened", "bronze", "silver", "gold", "master"]


def level_icon(kind, state):
    """A slot icon: a round stone for story levels, a star for bonus levels, a shield for
    hardcore levels; its face shows the state (padlock, open, medal colour, crown)."""
    image = Image.new("RGBA", (ICON, ICON), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    c = ICON / 2
    faces = {
        "closed": ((150, 150, 150), (90, 90, 90)),
        "opened": ((250, 250, 240), (60, 120, 200)),
        "bronze": art.MEDAL_COLOURS["bronze"],
        "silver": art.MEDAL_COLOURS["silver"],
        "gold": art.MEDAL_COLOURS["gold"],
        "master": ((190, 120, 240), (90, 40, 140)),
    }
    light, dark = faces[state]
    if kind == "level":
        draw.ellipse((2, 2, ICON - 3, ICON - 3), fill=dark + (255,))
        draw.ellipse((6, 6, ICON - 7, ICON - 7), fill=light + (255,))
    elif kind == "bonus":
        art.star(draw, c, c + 1, c - 1, dark + (255,), inner=0.55)
        art.star(draw, c, c + 1, c - 6, light + (255,), inner=0.55)
    else:
        shield = [(4, 4), (ICON - 5, 4), (ICON - 5, 24), (c, ICON - 2), (4, 24)]
        draw.polygon(shield, fill=dark + (255,))
        draw.polygon([(8, 8), (ICON - 9, 8), (ICON - 9, 23), (c, ICON - 8), (8, 23)], fill=light + (255,))
    if state == "closed":
        art.padlock(draw, c, c + 1, 10)
    elif state == "opened":
        mark = (200, 50, 40) if kind == "hardcore" else (60, 120, 200)
        draw.polygon([(c - 5, c - 8), (c - 5, c + 8), (c + 8, c)], fill=mark + (255,))
    elif state == "master":
        draw.polygon([(c - 10, c + 6), (c - 10, c - 6), (c - 5, c), (c, c - 9), (c + 5, c), (c + 10, c - 6),
                      (c + 10, c + 6)], fill=(255, 220, 90, 255), outline=(120, 80, 10, 255))
    else:
        art.star(draw, c, c + 1, 9, dark + (255,))
    return image


def location_button(picture, index, look):
    """A postcard of the location with its name under the picture."""
    width, height = 80, 60
    image = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    photo = art.thumbnail(picture, width - 6, 40)
    if look == "off":
        photo = art.grey(photo)
    card = art.framed(Image.new("RGBA", (width, height), (250, 242, 220, 255)), art.GOLD if look == 1 else art.WOOD, 2, 6)
    image.alpha_composite(card)
    image.alpha_composite(photo, (3, 3))
    draw = ImageDraw.Draw(image)
    name = art.LOCATION_NAMES[index]
    fnt = art.fit_font(name, width - 6, 12)
    colour = (120, 120, 120) if look == "off" else art.INK
    draw.text((width / 2, 51), name, font=fnt, fill=colour, anchor="mm")
    if look == 1:
        draw.rounded_rectangle((0, 0, width - 1, height - 1), radius=6, outline=(255, 240, 150, 255), width=3)
    return image


def helm():
    size = 110
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    c = size / 2
    for i in range(8):
        a = i * math.pi / 4
        draw.line([(c + 14 * math.cos(a), c + 14 * math.sin(a)), (c + 52 * math.cos(a), c + 52 * math.sin(a))],
                  fill=art.WOOD_DARK + (255,), width=8)
        draw.ellipse((c + 50 * math.cos(a) - 6, c + 50 * math.sin(a) - 6, c + 50 * math.cos(a) + 6,
                      c + 50 * math.sin(a) + 6), fill=art.WOOD + (255,))
    draw.ellipse((c - 40, c - 40, c + 40, c + 40), outline=art.WOOD + (255,), width=9)
    draw.ellipse((c - 40, c - 40, c + 40, c + 40), outline=art.GOLD + (255,), width=2)
    draw.ellipse((c - 14, c - 14, c + 14, c + 14), fill=art.WOOD + (255,), outline=art.GOLD + (255,), width=2)
    return image


def pointer():
    """The hint that points at the game's first level before the first Play."""
    image = Image.new("RGBA", (150, 64), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.polygon([(0, 32), (26, 12), (26, 24), (48, 24), (48, 40), (26, 40), (26, 52)], fill=(255, 230, 90, 255),
                 outline=(120, 70, 10, 255))
    draw.rounded_rectangle((52, 14, 149, 50), radius=10, fill=(255, 250, 230, 235), outline=(120, 70, 10, 255), width=2)
    draw.text((100, 32), "Start here!", font=art.font(13), fill=art.INK, anchor="mm")
    return image


def bottom_bar():
    image = Image.new("RGBA", (800, 92), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    for y in range(92):
        t = y / 91
        draw.line((0, y, 800, y), fill=art.shade(art.WOOD, 0.9 - 0.35 * t) + (235,))
    draw.line((0, 1, 800, 1), fill=art.GOLD + (255,), width=2)
    return image


def banner(text, width, height, colour):
    image = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 0, width - 1, height - 1), radius=height // 2, fill=colour + (230,),
                           outline=art.GOLD + (255,), width=3)
    art.outlined_text(draw, (width / 2, height / 2), text, art.font(26), (255, 245, 200), (60, 20, 80), 2)
    return image


def trophy_icon(draw, x, y, r):
    draw.polygon([(x - r, y - r), (x + r, y - r), (x + r * 0.6, y + r * 0.2), (x - r * 0.6, y + r * 0.2)],
                 fill=(255, 215, 80, 255))
    draw.rectangle((x - r * 0.15, y + r * 0.2, x + r * 0.15, y + r * 0.6), fill=(255, 215, 80, 255))
    draw.rectangle((x - r * 0.5, y + r * 0.6, x + r * 0.5, y + r * 0.85), fill=(255, 215, 80, 255))


def back_icon(draw, x, y, r):
    draw.polygon([(x - r, y), (x, y - r), (x, y - r * 0.4), (x + r, y - r * 0.4), (x + r, y + r * 0.4),
                  (x, y + r * 0.4), (x, y + r)], fill=(255, 255, 255, 255))


def word_picture(text, size, canvas, centred=True):
    """A word drawn as a picture on a fixed canvas (centred, or from the left edge), so that it
    shrinks with the chart when a journey zooms out."""
    image = Image.new("RGBA", canvas, (0, 0, 0, 0))
    fnt = art.fit_font(text, canvas[0] - 6, size)
    anchor, x = ("mm", canvas[0] / 2) if centred else ("lm", 3)
    art.outlined_text(ImageDraw.Draw(image), (x, canvas[1] / 2), text, fnt, (255, 250, 235), (40, 30, 20), 2, anchor)
    return image


def story_textures(out, islands):
    for i, picture in enumerate(islands):
        art.save(out, "gfx/story/island_%d.png" % i, picture)
        for look in (0, 1, "off"):
            art.save(out, "gfx/story/loc_%d_%s.png" % (i, look), location_button(picture, i, look))
    for i, name in enumerate(art.LOCATION_NAMES):
        art.save(out, "gfx/story/title_%d.png" % i, word_picture(name, 26, (220, 40), centred=False))
    for number in range(1, 6):
        art.save(out, "gfx/story/number_%d.png" % number, word_picture(str(number), 17, (24, 24)))
    art.save(out, "gfx/story/label_bonus.png", word_picture("Bonus", 12, (80, 20)))
    art.save(out, "gfx/story/label_hardcore.png", word_picture("Hardcore", 12, (80, 20)))
    for kind in ("level", "bonus", "hardcore"):
        for state in STATES:
            art.save(out, "gfx/story/%s_%s.png" % (kind, state), level_icon(kind, state))
    art.save(out, "gfx/story/ring.png", art.ring(56, (255, 240, 140), 4))
    art.save(out, "gfx/story/select_glow.png", art.glow(72, (255, 230, 120)))
    dot = Image.new("RGBA", (12, 12), (0, 0, 0, 0))
    ImageDraw.Draw(dot).ellipse((1, 1, 10, 10), fill=(120, 70, 30, 220), outline=(250, 240, 210, 255))
    art.save(out, "gfx/story/dot.png", dot)
    art.save(out, "gfx/story/border.png", art.panel(236, 492))
    frame = Image.new("RGBA", (236, 180), (0, 0, 0, 0))
    ImageDraw.Draw(frame).rounded_rectangle((0, 0, 235, 179), radius=8, fill=(40, 30, 20, 255),
                                            outline=art.GOLD + (255,), width=3)
    art.save(out, "gfx/story/preview_frame.png", frame)
    for name, size, label, colour, icon in (("play", (180, 56), "PLAY", (40, 150, 60), None),
                                            ("back", (96, 40), "Menu", (150, 90, 40), back_icon),
                                            ("trophy", (124, 40), "Trophies", (150, 90, 40), trophy_icon)):
        for look, image in enumerate(art.button_looks(size[0], size[1], label, colour, 26 if name == "play" else 16, icon)):
            art.save(out, "gfx/story/%s_%d.png" % (name, look), image)
    art.save(out, "gfx/story/helm.png", helm())
    art.save(out, "gfx/story/pointer.png", pointer())
    art.save(out, "gfx/story/bar.png", bottom_bar())
    art.save(out, "gfx/story/master.png", banner("MASTER MODE", 320, 56, (110, 50, 150)))
    twinkle = Image.new("RGBA", (24, 24), (0, 0, 0, 0))
    art.star(ImageDraw.Draw(twinkle), 12, 12, 11, (255, 250, 200, 255), points=4, inner=0.25)
    art.save(out, "gfx/story/twinkle.png", twinkle)
    art.save(out, "gfx/story/white.png", art.solid((8, 8), (255, 255, 255, 255)))
    art.save(out, "gfx/story/sea.png", art.sea(800, 600, (30, 110, 170), (15, 70, 130), seed=9))
    art.save(out, "gfx/story/play_light.png", art.glow(220, (255, 240, 150), 0.6).resize((220, 90)))
    for rank in range(13):
        art.save(out, "gfx/common/rank_%d.png" % rank, art.rank_emblem(rank))


def new_location_textures(out, islands):
    window = art.panel(440, 340)
    draw = ImageDraw.Draw(window)
    art.outlined_text(draw, (220, 36), "A new place is open!", art.font(24), (255, 236, 160), art.WOOD_DARK, 2)
    draw.text((220, 270), "Sail there now?", font=art.font(18), fill=art.INK, anchor="mm")
    art.save(out, "gfx/new_location/window.png", window)
    for i, picture in enumerate(islands):
        art.save(out, "gfx/new_location/foto_%d.png" % i, art.framed(art.thumbnail(picture, 220, 150)))
    for name, label, colour in (("yes", "Yes", (40, 150, 60)), ("no", "No", (170, 60, 50))):
        for look, image in enumerate(art.button_looks(120, 44, label, colour, 20)):
            art.save(out, "gfx/new_location/%s_%d.png" % (name, look), image)


def classic_photo(picture, index, rim, rim_width, locked=False):
    """A location picture with its name on a strip along the bottom."""
    width, height = 112, 84
    photo = art.thumbnail(picture, width, height)
    if locked:
        photo = art.grey(photo)
    draw = ImageDraw.Draw(photo)
    strip = height - 18 - rim_width
    draw.rectangle((0, strip, width, height), fill=(250, 242, 220, 255))
    name = art.LOCATION_NAMES[index]
    draw.text((width / 2, strip + 9), name, font=art.fit_font(name, width - 8, 13),
              fill=(120, 120, 120) if locked else art.INK, anchor="mm")
    return art.framed(photo, rim, rim_width)


def classic_location_textures(out, islands):
    for i, picture in enumerate(islands):
        art.save(out, "gfx/classic/foto_%d_0.png" % i, classic_photo(picture, i, art.WOOD, 3))
        art.save(out, "gfx/classic/foto_%d_1.png" % i, classic_photo(picture, i, (255, 240, 150), 4))
        art.save(out, "gfx/classic/foto_%d_2.png" % i, classic_photo(picture, i, (255, 200, 30), 7))
        art.save(out, "gfx/classic/foto_%d_off.png" % i, classic_photo(picture, i, (110, 110, 110), 3, True))


def main():
    args = sol_data.parse_args(__doc__)
    islands = [art.island_picture(i) for i in range(5)]
    story_textures(args.out, islands)
    new_location_textures(args.out, islands)
    classic_location_textures(args.out, islands)


if __name__ == "__main__":
    main()
