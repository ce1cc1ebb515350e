#!/usr/bin/python3
"""Draws the pictures of the game's screens into assets/Images/: the title
picture, the win and loss pictures, the Readme button and the partners'
logos. The instructions page has its own script, instructions.py."""

import math
import random

from PIL import Image, ImageDraw

import drawkit as K
import sprites

S = K.SCALE


def star(centre, r_out, r_in, points=5, turn=-90):
    pts = []
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = math.radians(turn + i * 180 / points)
        pts.append((centre[0] + r * math.cos(a), centre[1] + r * math.sin(a)))
    return pts


def paste_layer(base, layer, xy):
    base.alpha_composite(layer, (int(xy[0]), int(xy[1])))


def chest_layer(px):
    """The chest sprite's drawing, px pixels wide, as an RGBA layer."""
    small = sprites.chest_layer()
    return small.resize((px * S, px * S), Image.LANCZOS)


def title_picture():
    """Level-start picture: Glouto in a sunny badge, about to gulp a chest."""
    w = h = 120
    img = K.canvas(w, h, background=K.WHITE + (255,))
    d = ImageDraw.Draw(img)
    c = (60 * S, 56 * S)
    # Sunburst badge.
    d.ellipse((c[0] - 55 * S, c[1] - 53 * S, c[0] + 55 * S, c[1] + 53 * S), fill=K.INK + (255,))
    rays = Image.new("RGBA", img.size, (0, 0, 0, 0))
    rd = ImageDraw.Draw(rays)
    rd.ellipse((c[0] - 53 * S, c[1] - 51 * S, c[0] + 53 * S, c[1] + 51 * S), fill=(130, 200, 255, 255))
    for i in range(16):
        a0 = math.radians(i * 22.5)
        a1 = math.radians(i * 22.5 + 11.25)
        rd.polygon([c, (c[0] + 90 * S * math.cos(a0), c[1] + 90 * S * math.sin(a0)),
                    (c[0] + 90 * S * math.cos(a1), c[1] + 90 * S * math.sin(a1))],
                   fill=(165, 218, 255, 255))
    mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(mask).ellipse((c[0] - 53 * S, c[1] - 51 * S, c[0] + 53 * S, c[1] + 51 * S), fill=255)
    img.paste(rays, (0, 0), mask)
    # Glouto and a chest flying into his mouth.
    hero = sprites.hero_layer("right", True, px=78)
    paste_layer(img, hero, (12 * S, 14 * S))
    ch = chest_layer(28)
    paste_layer(img, ch.rotate(-18, resample=Image.BICUBIC, expand=False), (84 * S, 34 * S))
    d = ImageDraw.Draw(img)
    for (x, y, r) in ((100, 22, 5), (88, 78, 3.5), (16, 86, 3)):
        d.polygon(star((x * S, y * S), r * S, r * 0.42 * S), fill=K.GOLD_LIGHT + (255,),
                  outline=K.GOLD_DARK + (255,))
    # Name banner.
    band = (14 * S, 94 * S, 106 * S, 117 * S)
    d.rounded_rectangle(band, radius=6 * S, fill=K.INK + (255,))
    d.rounded_rectangle((band[0] + S, band[1] + S, band[2] - S, band[3] - S), radius=5 * S,
                        fill=(236, 70, 60, 255))
    K.text_centered(d, (band[0], band[1] - 1.5 * S, band[2], band[3]), "Glouto",
                    K.font(19 * S, bold=True), K.SHOWN_WHITE)
    return K.opaque(img, w, h)


def win_picture():
    """On the black end page: Glouto crowned, among stars and confetti."""
    w, h = 100, 85
    img = K.canvas(w, h, background=(0, 0, 0, 255))
    d = ImageDraw.Draw(img)
    rnd = random.Random(1)
    colours = [K.GOLD, (240, 90, 90), K.SKY, K.GREEN, K.ENEMY_LIGHT]
    for _ in range(26):
        x, y = rnd.uniform(2, 98) * S, rnd.uniform(2, 83) * S
        a = rnd.uniform(0, 180)
        pts = K.rotate_points([(x - 2 * S, y - 0.8 * S), (x + 2 * S, y - 0.8 * S),
                               (x + 2 * S, y + 0.8 * S), (x - 2 * S, y + 0.8 * S)], (x, y), a)
        d.polygon(pts, fill=rnd.choice(colours) + (255,))
    hero = sprites.hero_layer("right", True, px=64)
    paste_layer(img, hero, (18 * S, 18 * S))
    d = ImageDraw.Draw(img)
    # Crown on top of the ball.
    cx, top = 48 * S, 10 * S
    crown = [(cx - 15 * S, top + 14 * S), (cx - 17 * S, top), (cx - 8 * S, top + 7 * S), (cx, top - 4 * S),
             (cx + 8 * S, top + 7 * S), (cx + 17 * S, top), (cx + 15 * S, top + 14 * S)]
    d.polygon(crown, fill=K.GOLD + (255,), outline=K.GOLD_DARK + (255,), width=int(1.2 * S))
    for x, col in ((-8, (236, 70, 60)), (0, K.SKY), (8, K.GREEN)):
        d.ellipse((cx + (x - 2) * S, top + 8 * S, cx + (x + 2) * S, top + 12 * S), fill=col + (255,))
    for (x, y, r) in ((10, 14, 6), (90, 18, 5), (88, 66, 4), (9, 66, 3.5)):
        d.polygon(star((x * S, y * S), r * S, r * 0.42 * S), fill=K.GOLD_LIGHT + (255,),
                  outline=K.GOLD + (255,))
    return K.opaque(img, w, h, background=(0, 0, 0))


def lose_picture():
    """On the black end page: a sad Glouto while an enemy sneers."""
    w, h = 100, 85
    img = K.canvas(w, h, background=(0, 0, 0, 255))
    d = ImageDraw.Draw(img)
    # A few dim stars in the night.
    rnd = random.Random(2)
    for _ in range(14):
        x, y = rnd.uniform(2, 98) * S, rnd.uniform(2, 40) * S
        r = rnd.uniform(0.6, 1.2) * S
        d.ellipse((x - r, y - r, x + r, y + r), fill=(90, 90, 130, 255))
    enemy = sprites.enemy_layer("left", 1, px=52)
    paste_layer(img, enemy, (48 * S, 4 * S))
    hero = sprites.hero_layer("right", False, px=56, mood="sad")
    paste_layer(img, hero, (6 * S, 26 * S))
    return K.opaque(img, w, h, background=(0, 0, 0))


def readme_button():
    """A golden button with an open book: opens the manual."""
    w, h = 218, 73
    img = K.canvas(w, h)
    d = ImageDraw.Draw(img)
    box = (2 * S, 3 * S, 216 * S, 70 * S)
    shadow = (box[0] + 2 * S, box[1] + 3 * S, box[2], box[3] + 2 * S)
    d.rounded_rectangle(shadow, radius=16 * S, fill=(150, 110, 40, 255))
    d.rounded_rectangle((box[0], box[1], box[2] - 2 * S, box[3] - 1 * S), radius=16 * S, fill=K.INK + (255,))
    inner = (box[0] + 2 * S, box[1] + 2 * S, box[2] - 4 * S, box[3] - 3 * S)
    grad = Image.new("RGBA", img.size, (0, 0, 0, 0))
    gd = ImageDraw.Draw(grad)
    for y in range(int(inner[1]), int(inner[3]) + 1):
        t = (y - inner[1]) / (inner[3] - inner[1])
        gd.line(((inner[0], y), (inner[2], y)), fill=K.mix(K.GOLD_LIGHT, K.GOLD_DARK, t * 0.9) + (255,))
    mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(mask).rounded_rectangle(inner, radius=14 * S, fill=255)
    img.paste(grad, (0, 0), mask)
    d = ImageDraw.Draw(img)
    # Open book.
    bx, by = 14 * S, 17 * S
    for side in (0, 1):
        x0 = bx + side * 21 * S
        # Each page rises towards the spine.
        if side == 1:
            page = [(x0, by), (x0 + 21 * S, by + 3 * S), (x0 + 21 * S, by + 39 * S), (x0, by + 39 * S)]
        else:
            page = [(x0, by + 3 * S), (x0 + 21 * S, by), (x0 + 21 * S, by + 39 * S), (x0, by + 39 * S)]
        d.polygon(page, fill=K.SHOWN_WHITE + (255,), outline=K.INK + (255,), width=int(1.3 * S))
        for i in range(5):
            y = by + (10 + 6 * i) * S
            d.line(((x0 + 4 * S, y), (x0 + 17 * S, y)), fill=(150, 160, 190, 255), width=int(1.2 * S))
    d.rectangle((bx - 2 * S, by + 38 * S, bx + 44 * S, by + 42 * S), fill=(236, 70, 60, 255),
                outline=K.INK + (255,), width=int(1 * S))
    d.text((68 * S, 12 * S), "Le manuel", font=K.font(27 * S, bold=True), fill=K.INK + (255,))
    d.text((69 * S, 44 * S), "clique pour le lire", font=K.font(16 * S), fill=K.INK + (255,))
    return K.keyed(img, w, h)


def tavernique_logo():
    """First partner (fictional): a tavern of games, warm wood and gold."""
    w, h = 365, 100
    img = K.canvas(w, h, background=K.WHITE + (255,))
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((2 * S, 2 * S, 362 * S, 97 * S), radius=20 * S, fill=(120, 50, 30, 255))
    d.rounded_rectangle((6 * S, 6 * S, 358 * S, 93 * S), radius=17 * S, outline=K.GOLD + (255,),
                        width=int(2 * S))
    # Tankard.
    mx, my = 22 * S, 20 * S
    d.rounded_rectangle((mx + 34 * S, my + 16 * S, mx + 52 * S, my + 48 * S), radius=8 * S,
                        outline=K.GOLD_LIGHT + (255,), width=int(5 * S))
    d.rounded_rectangle((mx, my + 8 * S, mx + 40 * S, my + 62 * S), radius=5 * S, fill=K.GOLD + (255,),
                        outline=K.GOLD_DARK + (255,), width=int(2 * S))
    for x in (10, 20, 30):
        d.line(((mx + x * S, my + 16 * S), (mx + x * S, my + 56 * S)), fill=K.GOLD_DARK + (255,),
               width=int(2 * S))
    for (x, y, r) in ((4, 6, 8), (15, 2, 10), (28, 3, 9), (38, 8, 7)):
        d.ellipse((mx + (x - r) * S, my + (y - r + 4) * S, mx + (x + r) * S, my + (y + r + 4) * S),
                  fill=(255, 250, 236, 255))
    d.text((92 * S, 10 * S), "Tavernique", font=K.font(54 * S, bold=True), fill=K.GOLD_LIGHT + (255,))
    d.text((96 * S, 64 * S), "la taverne des jeux malins", font=K.font(21 * S), fill=(250, 226, 190, 255))
    return K.opaque(img, w, h)


def tilo_logo():
    """Second partner (fictional): a small studio, bright mosaic tiles."""
    w, h = 448, 96
    img = K.canvas(w, h, background=K.WHITE + (255,))
    d = ImageDraw.Draw(img)
    colours = [(236, 70, 60), K.GOLD, K.GREEN, (60, 150, 230), K.ENEMY]
    for row in range(3):
        for col in range(3):
            x, y = (8 + col * 28) * S, (8 + row * 28) * S
            c = colours[(row * 3 + col * 2) % len(colours)]
            d.rounded_rectangle((x, y, x + 25 * S, y + 25 * S), radius=6 * S, fill=c + (255,))
            d.rounded_rectangle((x + 4 * S, y + 4 * S, x + 13 * S, y + 9 * S), radius=2 * S,
                                fill=K.mix(c, K.WHITE, 0.45) + (255,))
    d.text((104 * S, -8 * S), "Tilo", font=K.font(76 * S, bold=True), fill=(40, 70, 140, 255))
    d.text((256 * S, 18 * S), "studio de", font=K.font(26 * S), fill=(90, 100, 120, 255))
    d.text((256 * S, 46 * S), "petits jeux", font=K.font(26 * S, bold=True), fill=(236, 70, 60, 255))
    d.line(((104 * S, 88 * S), (440 * S, 88 * S)), fill=K.GOLD + (255,), width=int(4 * S))
    return K.opaque(img, w, h)


def main():
    title = title_picture()
    title.save(K.IMAGES + "/gloutofond.jpg", quality=92, subsampling=0)
    K.save_png(win_picture(), "Imagegagne.png")
    K.save_png(lose_picture(), "Imageperd.png")
    K.save_png(readme_button(), "Readme.png")
    K.save_png(tavernique_logo(), "Tavernique.png")
    K.save_png(tilo_logo(), "Tilo.png")


if __name__ == "__main__":
    main()
