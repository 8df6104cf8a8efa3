"""Drawing helpers shared by the generators of the menu screens' art (story map, classic
selection, trophy room and their windows): fonts, panels, buttons in their three looks, medals,
rank emblems and the five locations' island pictures. Everything is drawn from shapes and the
DejaVu faces; nothing is copied.
"""

import io
import math
import os
import random

from PIL import Image, ImageDraw, ImageFilter, ImageFont

import sol_data

FONT_DIR = "/usr/share/fonts/truetype/dejavu"

LOCATION_KEYS = ["bora-bora", "barbados", "fregate", "dubai", "monaco"]
LOCATION_NAMES = ["Bora Bora", "Barbados", "Fregate", "Dubai", "Monaco"]

GOLD = (236, 190, 70)
CREAM = (252, 244, 222)
INK = (48, 34, 20)
WOOD = (112, 72, 40)
WOOD_DARK = (70, 44, 24)

MEDAL_COLOURS = {
    "bronze": ((205, 127, 50), (120, 70, 25)),
    "silver": ((214, 218, 226), (120, 126, 140)),
    "gold": ((250, 206, 70), (170, 120, 20)),
}


def font(size, bold=True):
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    path = os.path.join(FONT_DIR, name)
    if not os.path.exists(path):
        sol_data.fail("font face %s not found (install fonts-dejavu-core)" % name)
    return ImageFont.truetype(path, size)


def png_bytes(image):
    buffer = io.BytesIO()
    image.save(buffer, format="PNG", optimize=False)
    return buffer.getvalue()


def save(out, path, image):
    sol_data.write_if_changed(os.path.join(out, path), png_bytes(image))


def shade(colour, factor):
    return tuple(max(0, min(255, int(c * factor))) for c in colour[:3]) + tuple(colour[3:])


def outlined_text(draw, xy, text, fnt, fill, outline=(0, 0, 0), width=2, anchor="mm"):
    """Text with a dark rim, readable on any background."""
    draw.text(xy, text, font=fnt, fill=fill, anchor=anchor, stroke_width=width, stroke_fill=outline)


def fit_font(text, max_width, size, bold=True):
    """The largest size up to `size` at which the text fits the width."""
    while size > 8:
        fnt = font(size, bold)
        if fnt.getlength(text) <= max_width:
            return fnt
        size -= 1
    return font(8, bold)


def panel(width, height, fill=(250, 240, 214), rim=WOOD, radius=18, rim_width=6, alpha=240):
    """A parchment panel with a wooden rim and a soft shadow inside the rim."""
    image = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    draw.rounded_rectangle((0, 0, width - 1, height - 1), radius=radius, fill=rim + (255,))
    draw.rounded_rectangle((rim_width, rim_width, width - 1 - rim_width, height - 1 - rim_width),
                           radius=max(2, radius - rim_width), fill=fill + (alpha,))
    draw.rounded_rectangle((2, 2, width - 3, height - 3), radius=radius - 2, outline=GOLD + (255,), width=2)
    return image


def button_looks(width, height, label, base, text_size=22, icon=None):
    """The normal, hover and pressed looks of a rounded button with a centred label."""
    looks = []
    for factor, offset in ((1.0, 0), (1.18, 0), (0.82, 2)):
        image = Image.new("RGBA", (width, height), (0, 0, 0, 0))
        draw = ImageDraw.Draw(image)
        colour = shade(base, factor)
        draw.rounded_rectangle((0, 2, width - 1, height - 1), radius=height // 3, fill=shade(base, 0.45) + (255,))
        draw.rounded_rectangle((0, offset, width - 1, height - 3 + offset), radius=height // 3,
                               fill=colour + (255,), outline=GOLD + (255,), width=2)
        # A light band across the top half makes the button read as raised.
        band = Image.new("RGBA", (width, height), (0, 0, 0, 0))
        ImageDraw.Draw(band).rounded_rectangle((5, 4 + offset, width - 6, height // 2 + offset), radius=height // 4,
                                               fill=shade(colour, 1.15) + (90,))
        image.alpha_composite(band)
        fnt = fit_font(label, width - 16 - (height if icon else 0), text_size)
        cx = width / 2 + (height / 3 if icon else 0)
        if icon:
            icon(draw, height / 2 + 4, height / 2 - 1 + offset, height * 0.32)
        outlined_text(draw, (cx, height / 2 - 1 + offset), label, fnt, (255, 255, 255), shade(base, 0.35), 2)
        looks.append(image)
    return looks


def medal(size, kind, ribbon=True):
    """A round medal of the kind "bronze", "silver" or "gold" with a star, on a ribbon."""
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    light, dark = MEDAL_COLOURS[kind]
    r = size * 0.36
    cx, cy = size / 2, size * 0.58
    if ribbon:
        draw.polygon([(cx - r * 0.9, 0), (cx - r * 0.1, 0), (cx + r * 0.2, cy - r * 0.5), (cx - r * 0.5, cy - r * 0.5)],
                     fill=(200, 40, 50, 255))
        draw.polygon([(cx + r * 0.9, 0), (cx + r * 0.1, 0), (cx - r * 0.2, cy - r * 0.5), (cx + r * 0.5, cy - r * 0.5)],
                     fill=(40, 70, 180, 255))
    draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=dark + (255,))
    draw.ellipse((cx - r * 0.86, cy - r * 0.86, cx + r * 0.86, cy + r * 0.86), fill=light + (255,))
    star(draw, cx, cy, r * 0.55, dark + (255,))
    return image


def star(draw, cx, cy, r, fill, points=5, inner=0.45, rotation=-math.pi / 2):
    corners = []
    for i in range(points * 2):
        radius = r if i % 2 == 0 else r * inner
        angle = rotation + i * math.pi / points
        corners.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    draw.polygon(corners, fill=fill)


def rank_emblem(rank, size=96):
    """Rank emblem r (0..12): a shield whose stripes and stars grow with the rank, "Rank N" below."""
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    w = size * 0.62
    top = 4
    bottom = size * 0.74
    cx = size / 2
    body = [(cx - w / 2, top), (cx + w / 2, top), (cx + w / 2, bottom * 0.62), (cx, bottom), (cx - w / 2, bottom * 0.62)]
    tiers = [(60, 110, 170), (70, 140, 90), (170, 60, 60), (120, 70, 160)]
    colour = tiers[min(rank // 4, 3)]
    draw.polygon(body, fill=shade(colour, 0.6) + (255,))
    inset = [(cx - w / 2 + 4, top + 4), (cx + w / 2 - 4, top + 4), (cx + w / 2 - 4, bottom * 0.62 - 2), (cx, bottom - 6),
             (cx - w / 2 + 4, bottom * 0.62 - 2)]
    draw.polygon(inset, fill=colour + (255,))
    chevrons = rank % 4 + 1 if rank < 12 else 0
    for i in range(chevrons):
        y = bottom * 0.62 - 6 - i * 8
        draw.line([(cx - w / 2 + 10, y - 6), (cx, y + 2), (cx + w / 2 - 10, y - 6)], fill=GOLD + (255,), width=4)
    stars = rank // 4 + (1 if rank == 12 else 0)
    for i in range(stars):
        sx = cx + (i - (stars - 1) / 2) * 14
        star(draw, sx, top + 14, 7, (255, 240, 150, 255))
    label = "Rank %d" % (rank + 1)
    outlined_text(draw, (cx, size - 11), label, font(14), (255, 255, 255), (30, 20, 10), 2)
    return image


def sea(width, height, top=(40, 130, 190), bottom=(20, 80, 150), seed=0):
    image = Image.new("RGBA", (width, height), top + (255,))
    draw = ImageDraw.Draw(image)
    for y in range(height):
        t = y / max(1, height - 1)
        draw.line((0, y, width, y), fill=tuple(int(a + (b - a) * t) for a, b in zip(top, bottom)) + (255,))
    rng = random.Random(seed)
    waves = Image.new("RGBA", (width, height), (0, 0, 0, 0))
    wave_draw = ImageDraw.Draw(waves)
    for _ in range(width * height // 4000):
        x, y = rng.randrange(width), rng.randrange(height)
        wave_draw.arc((x - 10, y - 4, x + 10, y + 4), 200, 340, fill=(220, 240, 255, 110), width=2)
    image.alpha_composite(waves)  # composited: the sea stays opaque
    return image


def blob(cx, cy, rx, ry, seed, roughness=0.18, count=48):
    """The outline of an island: an ellipse with a smooth random wobble."""
    rng = random.Random(seed)
    phases = [rng.uniform(0, 2 * math.pi) for _ in range(4)]
    amps = [rng.uniform(0.3, 1.0) * roughness for _ in range(4)]
    points = []
    for i in range(count):
        a = 2 * math.pi * i / count
        wobble = 1 + sum(amp * math.sin((k + 2) * a + ph) for k, (amp, ph) in enumerate(zip(amps, phases))) / 2
        points.append((cx + rx * wobble * math.cos(a), cy + ry * wobble * math.sin(a)))
    return points


def palm(draw, x, y, height=46):
    draw.line([(x, y), (x + 6, y - height)], fill=(110, 70, 30, 255), width=5)
    top = (x + 6, y - height)
    for angle in (-160, -120, -60, -20, 200):
        a = math.radians(angle)
        end = (top[0] + 26 * math.cos(a), top[1] + 16 * math.sin(a) + 8)
        draw.line([top, end], fill=(40, 140, 60, 255), width=6)


def island_picture(index, width=800, height=600):
    """The story map's picture of location `index`: sea, one big island under the map area on the
    left (the right of the view holds the level panel), a few landmarks of the place."""
    sea_colours = [((50, 170, 210), (20, 110, 170)), ((40, 150, 200), (20, 90, 160)), ((60, 170, 190), (20, 100, 140)),
                   ((70, 150, 190), (30, 90, 140)), ((40, 110, 170), (15, 60, 120))]
    land_colours = [(96, 168, 72), (120, 170, 80), (104, 150, 84), (214, 180, 120), (120, 150, 100)]
    image = sea(width, height, *sea_colours[index], seed=index)
    draw = ImageDraw.Draw(image)
    cx, cy = 290, 290
    outline = blob(cx, cy, 280, 235, seed=100 + index)
    draw.polygon(blob(cx, cy, 300, 255, seed=100 + index), fill=(120, 200, 220, 255))  # shallows
    draw.polygon(outline, fill=(236, 214, 160, 255))                                     # beach
    draw.polygon(blob(cx, cy, 258, 214, seed=100 + index), fill=land_colours[index] + (255,))
    rng = random.Random(200 + index)
    landmark = [bora_bora_marks, barbados_marks, fregate_marks, dubai_marks, monaco_marks][index]
    landmark(draw, rng)
    return image.filter(ImageFilter.SMOOTH)


def bora_bora_marks(draw, rng):
    draw.polygon([(180, 120), (230, 40), (280, 120)], fill=(70, 120, 60, 255))
    draw.polygon([(212, 70), (230, 40), (248, 70)], fill=(90, 150, 80, 255))
    for x, y in ((70, 300), (90, 470), (470, 440), (500, 200)):
        palm(draw, x, y)


def barbados_marks(draw, rng):
    # A lighthouse on the north cape and fields of cane.
    draw.rectangle((430, 70, 446, 130), fill=(245, 245, 245, 255))
    draw.rectangle((430, 86, 446, 96), fill=(200, 40, 40, 255))
    draw.polygon([(426, 70), (438, 56), (450, 70)], fill=(200, 40, 40, 255))
    for row in range(4):
        y = 440 + row * 10
        draw.line([(120, y), (220, y)], fill=(150, 190, 90, 255), width=4)
    palm(draw, 80, 250)
    palm(draw, 500, 380)


def fregate_marks(draw, rng):
    for x, y, r in ((120, 140, 34), (160, 160, 22), (470, 420, 30), (430, 450, 18), (90, 430, 26)):
        draw.ellipse((x - r, y - r * 0.7, x + r, y + r * 0.7), fill=(150, 140, 130, 255), outline=(100, 90, 80, 255))
    palm(draw, 480, 170)
    palm(draw, 250, 480)


def dubai_marks(draw, rng):
    draw.polygon([(460, 150), (468, 40), (476, 150)], fill=(200, 210, 225, 255))
    draw.rectangle((440, 120, 456, 150), fill=(180, 190, 210, 255))
    draw.rectangle((480, 100, 494, 150), fill=(170, 180, 200, 255))
    for x in range(60, 200, 40):
        draw.arc((x, 430, x + 60, 470), 180, 360, fill=(190, 150, 90, 255), width=3)
    palm(draw, 110, 250)


def monaco_marks(draw, rng):
    for i, (x, h) in enumerate(((420, 60), (446, 80), (472, 50), (498, 70))):
        draw.rectangle((x, 150 - h, x + 22, 150), fill=(240, 220, 200, 255), outline=(150, 120, 100, 255))
        draw.polygon([(x - 2, 150 - h), (x + 11, 140 - h), (x + 24, 150 - h)], fill=(190, 80, 60, 255))
    draw.polygon([(60, 140), (120, 80), (180, 140)], fill=(110, 120, 110, 255))
    palm(draw, 90, 460)
    palm(draw, 470, 440)


def thumbnail(picture, width, height, crop=(0, 20, 580, 455)):
    """The island of a location picture, cut to its map area and scaled down."""
    return picture.crop(crop).resize((width, height), Image.LANCZOS)


def framed(picture, rim=GOLD, width=3, radius=8):
    image = picture.copy()
    mask = Image.new("L", image.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle((0, 0, image.size[0] - 1, image.size[1] - 1), radius=radius, fill=255)
    image.putalpha(mask)
    ImageDraw.Draw(image).rounded_rectangle((0, 0, image.size[0] - 1, image.size[1] - 1), radius=radius,
                                            outline=rim + (255,), width=width)
    return image


def grey(picture, dim=0.55):
    """A locked look: grey, darker, with a padlock in the middle."""
    alpha = picture.getchannel("A")
    image = picture.convert("L").point(lambda v: int(v * dim)).convert("RGBA")
    image.putalpha(alpha)
    draw = ImageDraw.Draw(image)
    w, h = image.size
    padlock(draw, w / 2, h / 2, min(w, h) * 0.28)
    return image


def padlock(draw, cx, cy, r):
    draw.arc((cx - r * 0.6, cy - r * 1.2, cx + r * 0.6, cy + r * 0.1), 180, 360, fill=(235, 235, 235, 255),
             width=max(2, int(r * 0.22)))
    draw.rounded_rectangle((cx - r * 0.8, cy - r * 0.4, cx + r * 0.8, cy + r * 0.7), radius=r * 0.15,
                           fill=(230, 190, 70, 255), outline=(90, 60, 20, 255), width=2)
    draw.ellipse((cx - r * 0.14, cy - r * 0.05, cx + r * 0.14, cy + r * 0.23), fill=(90, 60, 20, 255))


def glow(size, colour, strength=1.0):
    """A soft round light, brightest in the middle (drawn added to the view)."""
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    steps = size // 2
    for i in range(steps, 0, -1):
        t = i / steps
        a = int(255 * strength * (1 - t) ** 1.6)
        draw.ellipse((size / 2 - i, size / 2 - i, size / 2 + i, size / 2 + i), fill=colour + (a,))
    return image


def ring(size, colour, width):
    image = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    ImageDraw.Draw(image).ellipse((width, width, size - 1 - width, size - 1 - width), outline=colour + (255,),
                                  width=width)
    return image.filter(ImageFilter.GaussianBlur(0.8))


def solid(size, colour):
    return Image.new("RGBA", size, colour)
