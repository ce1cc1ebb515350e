#!/usr/bin/python3
"""Puts every picture on one sheet to look at them together.

Usage: contact_sheet.py OUT.png [ZOOM]
Sprites are shown twice: as drawn in the game (white key over a wall tile)
and with their see-through pixels in pink, so stray white shows up.
"""

import os
import sys

from PIL import Image, ImageDraw

import drawkit as K

SPRITES = ["Glouto.png", "Glouto2.png", "Glouto3.png", "Glouto4.png",
           "Glouto2.1.png", "Glouto2.2.png", "Glouto2.3.png", "Glouto2.4.png",
           "Ennemi.png", "Ennemi2.png", "Ennemi3.png", "Ennemi4.png",
           "Ennemi2.1.png", "Ennemi2.2.png", "Ennemi2.3.png", "Ennemi2.4.png",
           "coffre.png", "Mur.png", "blanc.png"]
SCREENS = ["gloutofond.jpg", "Readme.png", "Imagegagne.png", "Imageperd.png",
           "Tavernique.png", "Tilo.png", "ModeEmploi.png"]


def keyed_over(img, background):
    out = background.copy()
    mask = Image.eval(img.convert("L"), lambda v: 255)
    px, mk = img.load(), mask.load()
    for y in range(img.height):
        for x in range(img.width):
            if px[x, y] == K.WHITE:
                mk[x, y] = 0
    out.paste(img, (0, 0), mask)
    return out


def main():
    out_path = sys.argv[1]
    zoom = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    wall = Image.open(os.path.join(K.IMAGES, "Mur.png")).convert("RGB")
    tiles = []
    for name in SPRITES:
        img = Image.open(os.path.join(K.IMAGES, name)).convert("RGB")
        w, h = img.size
        bg_wall = Image.new("RGB", (w, h))
        for y in range(0, h, 25):
            for x in range(0, w, 25):
                bg_wall.paste(wall, (x, y))
        pink = Image.new("RGB", (w, h), (255, 0, 200))
        half = Image.new("RGB", (w, h), K.WHITE)
        half.paste(bg_wall.crop((0, 0, w // 2, h)), (0, 0))
        tiles.append((name, [keyed_over(img, half), keyed_over(img, pink)]))
    cell = 50 * zoom + 10
    sheet_w = max(8 * (2 * cell) + 20, 1300)
    rows = (len(tiles) + 7) // 8
    top = rows * (cell + 24) + 20
    screens = [Image.open(os.path.join(K.IMAGES, n)).convert("RGB") for n in SCREENS]
    # Flow the screen pictures (doubled) in rows, the instructions page last.
    spots, x, y, row_h = [], 10, top, 0
    for img in screens:
        w, h = img.width * 2, img.height * 2
        if x + w > sheet_w - 10:
            x, y, row_h = 10, y + row_h + 30, 0
        spots.append((x, y))
        x, row_h = x + w + 20, max(row_h, h)
    sheet = Image.new("RGB", (sheet_w, y + row_h + 40), (200, 200, 200))
    d = ImageDraw.Draw(sheet)
    f = K.font(14)
    for i, (name, views) in enumerate(tiles):
        x = 10 + (i % 8) * 2 * cell
        y = 10 + (i // 8) * (cell + 24)
        for j, v in enumerate(views):
            sheet.paste(v.resize((v.width * zoom, v.height * zoom), Image.NEAREST), (x + j * cell, y))
        d.text((x, y + cell - 6), name, font=f, fill=(0, 0, 0))
    for name, img, (x, y) in zip(SCREENS, screens, spots):
        sheet.paste(img.resize((img.width * 2, img.height * 2), Image.NEAREST), (x, y))
        d.text((x, y + img.height * 2 + 2), "%s %dx%d" % (name, img.width, img.height), font=f,
               fill=(0, 0, 0))
    sheet.save(out_path)


if __name__ == "__main__":
    main()
