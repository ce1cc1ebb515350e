#!/usr/bin/python3
"""Makes the menu icons glouto-SIZE.png and glouto-editeur-SIZE.png, and the
browser site's, glouto-192.png and glouto-512.png (a home screen's sizes),
and glouto-maskable-SIZE.png, which a phone may crop to any shape.

The game's icon is the hero's own picture (assets/Images/Glouto.png) when it
is there, else a drawn glutton; the editor's is a grid with a few walls, in the
colours of the wall picture when there is one. Run with Debian's python3
(it has PIL):  /usr/bin/python3 packaging/icons/make_icons.py
"""
import os
import sys

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.join(HERE, "..", "..", "assets", "Images")
SIZES = (48, 64, 128)
WEB_SIZES = (192, 512)
BIG = 512


def clear_background(picture):
    """The game keys out the sprite's white; an icon needs it transparent."""
    picture = picture.convert("RGBA")
    for corner in ((0, 0), (picture.width - 1, 0), (0, picture.height - 1),
                   (picture.width - 1, picture.height - 1)):
        if picture.getpixel(corner)[:3] == (255, 255, 255):
            ImageDraw.floodfill(picture, corner, (255, 255, 255, 0), thresh=24)
    return picture


def fit(picture, size):
    """The picture centred on a transparent square, crisp at any size."""
    picture = picture.convert("RGBA")
    box = picture.getbbox() or (0, 0) + picture.size
    picture = picture.crop(box)
    scale = size / max(picture.size)
    shape = (max(1, round(picture.width * scale)), max(1, round(picture.height * scale)))
    resample = Image.NEAREST if scale >= 2 else Image.LANCZOS
    picture = picture.resize(shape, resample)
    square = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    square.paste(picture, ((size - shape[0]) // 2, (size - shape[1]) // 2), picture)
    return square


def maskable(picture, size):
    """On the site's own dark, inside the middle circle a phone's mask keeps
    (80 % across): a square of 60 % fits in it."""
    square = Image.new("RGBA", (size, size), (0x20, 0x28, 0x30, 255))
    inner = fit(picture, size * 6 // 10)
    square.paste(inner, ((size - inner.width) // 2, (size - inner.height) // 2), inner)
    return square


def drawn_glutton():
    image = Image.new("RGBA", (BIG, BIG), (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    d.ellipse((40, 40, 472, 472), fill=(255, 170, 30), outline=(120, 60, 0), width=18)
    d.pieslice((150, 230, 400, 430), 0, 180, fill=(110, 20, 20), outline=(120, 60, 0), width=12)
    for x in (180, 230, 280, 330):
        d.polygon(((x, 330), (x + 40, 330), (x + 20, 365)), fill=(255, 255, 255))
    for x in (170, 300):
        d.ellipse((x, 140, x + 60, 220), fill=(255, 255, 255), outline=(60, 30, 0), width=8)
        d.ellipse((x + 20, 165, x + 50, 205), fill=(20, 20, 20))
    return image


def wall_colour():
    path = os.path.join(ASSETS, "Mur.png")
    if os.path.exists(path):
        return Image.open(path).convert("RGB").resize((1, 1), Image.BOX).getpixel((0, 0))
    return (150, 75, 40)


def drawn_editor():
    image = Image.new("RGBA", (BIG, BIG), (0, 0, 0, 0))
    d = ImageDraw.Draw(image)
    cell = 64
    left = (BIG - 7 * cell) // 2
    d.rectangle((left, left, left + 7 * cell, left + 7 * cell), fill=(255, 255, 255), outline=(40, 40, 40), width=10)
    for i in range(1, 7):
        d.line((left + i * cell, left, left + i * cell, left + 7 * cell), fill=(170, 170, 170), width=4)
        d.line((left, left + i * cell, left + 7 * cell, left + i * cell), fill=(170, 170, 170), width=4)
    colour = wall_colour()
    for cx, cy in ((0, 0), (1, 0), (2, 0), (2, 1), (2, 2), (4, 4), (5, 4), (6, 4), (4, 5)):
        x, y = left + cx * cell, left + cy * cell
        d.rectangle((x + 2, y + 2, x + cell - 2, y + cell - 2), fill=colour)
    d.rectangle((left + 3 * cell, left + 3 * cell, left + 4 * cell, left + 4 * cell), fill=(0, 0, 0))
    return image


def main():
    hero = os.path.join(ASSETS, "Glouto.png")
    game = clear_background(Image.open(hero)) if os.path.exists(hero) else drawn_glutton()
    editor = drawn_editor()
    for size in SIZES:
        fit(game, size).save(os.path.join(HERE, "glouto-%d.png" % size), optimize=True)
        fit(editor, size).save(os.path.join(HERE, "glouto-editeur-%d.png" % size), optimize=True)
    for size in WEB_SIZES:
        fit(game, size).save(os.path.join(HERE, "glouto-%d.png" % size), optimize=True)
        maskable(game, size).save(os.path.join(HERE, "glouto-maskable-%d.png" % size), optimize=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
