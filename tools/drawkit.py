"""Shared palette and helpers for the Glouto pictures.

Pictures are drawn SCALE times larger on a transparent canvas and reduced at
the end. Pictures that the game draws with a white colour key leave here as
RGB without alpha: pure white exactly where they are see-through, and never
pure white where they must show.
"""

import math
import os

from PIL import Image, ImageFont

SCALE = 8
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
ASSETS = os.path.join(ROOT, "assets")
IMAGES = os.path.join(ASSETS, "Images")

FONT_DIR = "/usr/share/fonts/opentype/comic-neue"
FONT_REGULAR = os.path.join(FONT_DIR, "ComicNeue-Regular.otf")
FONT_BOLD = os.path.join(FONT_DIR, "ComicNeue-Bold.otf")

WHITE = (255, 255, 255)
SHOWN_WHITE = (254, 254, 254)   # white that must stay visible under the key

# One palette for everything the player sees.
INK = (52, 34, 28)              # outlines and text
HERO = (255, 196, 38)
HERO_LIGHT = (255, 232, 140)
HERO_DARK = (226, 140, 18)
MOUTH = (128, 22, 40)
TONGUE = (244, 104, 128)
BLUSH = (255, 140, 120)
ENEMY = (146, 72, 210)
ENEMY_LIGHT = (196, 140, 250)
ENEMY_DARK = (92, 38, 150)
ENEMY_INK = (44, 16, 70)
EYE_RED = (230, 40, 50)
WALL = (66, 128, 212)
WALL_LIGHT = (138, 186, 245)
WALL_DARK = (38, 78, 152)
MORTAR = (30, 52, 104)
GOLD = (252, 204, 48)
GOLD_LIGHT = (255, 240, 150)
GOLD_DARK = (196, 136, 20)
WOOD = (156, 92, 44)
WOOD_DARK = (104, 56, 24)
GREEN = (70, 180, 90)
SKY = (120, 190, 250)


def font(size, bold=False):
    return ImageFont.truetype(FONT_BOLD if bold else FONT_REGULAR, size)


def canvas(w, h, scale=SCALE, background=(0, 0, 0, 0)):
    """A transparent (or filled) RGBA canvas `scale` times the final size."""
    return Image.new("RGBA", (w * scale, h * scale), background)


def reduce(image, w, h):
    return image.resize((w, h), Image.LANCZOS)


def keyed(image, w, h, cut=150):
    """Reduces an RGBA drawing to the colour-keyed RGB form.

    Pixels less than half covered become pure white (see-through); the rest
    are blended on white, and any of them that comes out pure white is
    nudged to (254, 254, 254) so it still shows.
    """
    small = reduce(image, w, h)
    out = Image.new("RGB", (w, h), WHITE)
    src = small.load()
    dst = out.load()
    for y in range(h):
        for x in range(w):
            r, g, b, a = src[x, y]
            if a < cut:
                continue
            k = a / 255.0
            c = tuple(min(255, int(round(v * k + 255 * (1 - k)))) for v in (r, g, b))
            dst[x, y] = SHOWN_WHITE if c == WHITE else c
    return out


def opaque(image, w, h, background=WHITE):
    """Reduces an RGBA drawing onto a solid background (no colour key)."""
    small = reduce(image, w, h)
    base = Image.new("RGBA", (w, h), background + (255,))
    base.alpha_composite(small)
    return base.convert("RGB")


def save_png(image, name):
    path = os.path.join(IMAGES, name)
    assert image.mode == "RGB", name
    image.save(path, optimize=True)
    return path


def shaded_disc(size, centre, radius, light, base, dark, light_dir=(-0.55, -0.65)):
    """A disc with a soft light from the top left, as an RGBA layer."""
    layer = Image.new("RGBA", size, (0, 0, 0, 0))
    px = layer.load()
    cx, cy = centre
    lx, ly = light_dir
    x0, x1 = int(cx - radius) - 1, int(cx + radius) + 2
    y0, y1 = int(cy - radius) - 1, int(cy + radius) + 2
    for y in range(max(0, y0), min(size[1], y1)):
        for x in range(max(0, x0), min(size[0], x1)):
            dx, dy = (x - cx) / radius, (y - cy) / radius
            d2 = dx * dx + dy * dy
            if d2 > 1.0:
                continue
            # Lambert-ish term on a sphere, remapped to light..base..dark.
            nz = math.sqrt(1.0 - d2)
            t = (dx * lx + dy * ly) * 0.8 + nz * 0.35
            px[x, y] = mix3(dark, base, light, t) + (255,)
    return layer


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def mix3(dark, base, light, t):
    """t around 0.35 gives base; lower goes dark, higher goes light."""
    if t < 0.35:
        return mix(dark, base, (t + 0.45) / 0.8)
    return mix(base, light, (t - 0.35) / 0.65)


def rotate_points(points, centre, degrees):
    a = math.radians(degrees)
    ca, sa = math.cos(a), math.sin(a)
    cx, cy = centre
    out = []
    for x, y in points:
        dx, dy = x - cx, y - cy
        out.append((cx + dx * ca - dy * sa, cy + dx * sa + dy * ca))
    return out


def text_centered(draw, box, text, fnt, fill):
    x0, y0, x1, y1 = box
    l, t, r, b = draw.textbbox((0, 0), text, font=fnt)
    draw.text((x0 + (x1 - x0 - (r - l)) / 2 - l, y0 + (y1 - y0 - (b - t)) / 2 - t), text,
              font=fnt, fill=fill)
