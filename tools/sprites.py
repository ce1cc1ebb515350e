#!/usr/bin/python3
"""Draws the game's sprites: Glouto, the enemies, the wall, the chest and the
editor's empty cell, into assets/Images/."""

import math
import random

from PIL import Image, ImageChops, ImageDraw, ImageFilter

import drawkit as K

S = K.SCALE

# Direction name -> (forward vector, side of the eye), in screen axes.
DIRECTIONS = {
    "right": ((1, 0), (0, -1)),
    "left": ((-1, 0), (0, -1)),
    "up": ((0, -1), (-1, 0)),
    "down": ((0, 1), (-1, 0)),
}
# File suffix of each direction: first phase "Glouto%s.png", second "Glouto2.%d.png".
FIRST_PHASE = {"right": "", "left": "2", "up": "3", "down": "4"}
SECOND_PHASE = {"right": "2.1", "left": "2.2", "up": "2.3", "down": "2.4"}


def add(p, v, k=1.0):
    return (p[0] + v[0] * k, p[1] + v[1] * k)


def ellipse(draw, centre, rx, ry, **kw):
    draw.ellipse((centre[0] - rx, centre[1] - ry, centre[0] + rx, centre[1] + ry), **kw)


def wedge(centre, forward, radius, half_angle, steps=24):
    base = math.atan2(forward[1], forward[0])
    pts = [centre]
    for i in range(steps + 1):
        a = base - half_angle + 2 * half_angle * i / steps
        pts.append((centre[0] + radius * math.cos(a), centre[1] + radius * math.sin(a)))
    return pts


def hero_layer(direction, mouth_open, px=50, mood="happy"):
    """Glouto drawn px pixels wide, SCALE times larger, as an RGBA layer."""
    f, u = DIRECTIONS[direction]
    k = px * S / 50.0
    img = K.canvas(px, px)
    d = ImageDraw.Draw(img)
    c = (px * S / 2, px * S / 2)
    r = 22.5 * k
    line = int(1.8 * k)

    # Body: outline, then a shaded ball.
    ellipse(d, c, r, r, fill=K.INK + (255,))
    img.alpha_composite(K.shaded_disc(img.size, c, r - line, K.HERO_LIGHT, K.HERO, K.HERO_DARK))
    d = ImageDraw.Draw(img)

    # The mouth is a wedge from near the centre to the rim: wide open in the
    # first phase, a thin slit in the second. Everything is clipped to the ball.
    half = math.radians(35 if mouth_open else 7)
    vertex = add(c, f, -0.08 * r)
    mouth = Image.new("RGBA", img.size, (0, 0, 0, 0))
    m = ImageDraw.Draw(mouth)
    m.polygon(wedge(add(vertex, f, -0.16 * r), f, r * 1.5, half + 0.1), fill=K.INK + (255,))
    m.polygon(wedge(vertex, f, r * 1.5, half), fill=K.MOUTH + (255,))
    if mouth_open:
        # Tongue on the lower lip, one tooth on each lip by the rim.
        ellipse(m, add(add(vertex, f, 0.6 * r), u, -0.2 * r), 0.3 * r, 0.2 * r, fill=K.TONGUE + (255,))
        base_angle = math.atan2(f[1], f[0])
        for side in (1, -1):
            a = base_angle + side * half
            lip = (math.cos(a), math.sin(a))
            inward = (-lip[1] * side, lip[0] * side)
            root = add(vertex, lip, 0.74 * r)
            tooth = [add(root, lip, -0.14 * r), add(root, lip, 0.14 * r),
                     add(add(root, inward, -0.22 * r), lip, 0.02 * r)]
            m.polygon(tooth, fill=K.SHOWN_WHITE + (255,), outline=K.INK + (255,))
    else:
        ellipse(d, add(add(c, f, 0.4 * r), u, -0.5 * r), 0.16 * r, 0.11 * r,
                fill=K.BLUSH + (210,))
    inside = Image.new("L", img.size, 0)
    ellipse(ImageDraw.Draw(inside), c, r - line * 0.5, r - line * 0.5, fill=255)
    clipped = Image.new("RGBA", img.size, (0, 0, 0, 0))
    clipped.paste(mouth, (0, 0), Image.composite(mouth.getchannel("A"), inside, inside))
    img.alpha_composite(clipped)
    d = ImageDraw.Draw(img)

    # One big eye on the side, looking where Glouto goes.
    eye = add(add(c, f, -0.1 * r), u, 0.5 * r)
    ellipse(d, eye, 0.3 * r, 0.3 * r, fill=K.SHOWN_WHITE + (255,), outline=K.INK + (255,),
            width=int(1.2 * k))
    pupil = add(eye, f, 0.12 * r)
    ellipse(d, pupil, 0.15 * r, 0.15 * r, fill=K.INK + (255,))
    ellipse(d, add(add(pupil, f, -0.05 * r), u, 0.06 * r), 0.05 * r, 0.05 * r,
            fill=K.SHOWN_WHITE + (255,))
    if mood == "sad":
        # A worried brow and a big tear.
        brow_c = add(eye, u, 0.45 * r)
        b1 = add(add(brow_c, f, -0.24 * r), u, -0.08 * r)
        b2 = add(add(brow_c, f, 0.22 * r), u, 0.1 * r)
        d.line([b1, b2], fill=K.INK + (255,), width=int(1.4 * k))
        drop = add(add(eye, f, -0.05 * r), u, -0.42 * r)
        d.polygon([add(drop, u, 0.16 * r), add(drop, f, -0.09 * r), add(drop, f, 0.09 * r)],
                  fill=K.SKY + (255,))
        ellipse(d, add(drop, u, -0.02 * r), 0.09 * r, 0.09 * r, fill=K.SKY + (255,))
        return img
    # A raised, cheerful brow above it.
    brow_c = add(eye, u, 0.42 * r)
    b1 = add(brow_c, f, -0.22 * r)
    b2 = add(add(brow_c, f, 0.22 * r), u, 0.08 * r)
    d.line([b1, add(brow_c, u, 0.06 * r), b2], fill=K.INK + (255,), width=int(1.4 * k),
           joint="curve")
    return img


def hero(direction, mouth_open):
    return K.keyed(hero_layer(direction, mouth_open), 50, 50)


def enemy_layer(direction, phase, px=50):
    """An enemy drawn px pixels wide, SCALE times larger, as an RGBA layer."""
    f, _ = DIRECTIONS[direction]
    k = px * K.SCALE / 50.0
    img = K.canvas(px, px)
    d = ImageDraw.Draw(img)
    cx = px * K.SCALE / 2
    top = 9 * k           # top of the head, below the horns
    r = 19 * k            # head radius
    head_cy = top + r
    bottom = 43 * k
    line = int(1.8 * k)

    def outline_shape(grow):
        g = grow
        pts = []
        for i in range(0, 181, 6):
            a = math.radians(180 + i)
            pts.append((cx + (r + g) * math.cos(a), head_cy + (r + g) * math.sin(a)))
        # Wavy skirt: four tentacles whose wave moves with the phase.
        x_right, x_left = cx + r + g, cx - r - g
        pts.append((x_right, bottom))
        n = 48
        for i in range(n + 1):
            x = x_right - (x_right - x_left) * i / n
            wave = math.sin(i / n * 4 * 2 * math.pi + (math.pi if phase else 0))
            pts.append((x, bottom + g + wave * 2.6 * k))
        return pts

    # Horns first, so the head covers their base.
    for side in (-1, 1):
        base = (cx + side * 10 * k, top + 6 * k)
        horn = [(base[0] - 5 * k, base[1]), (base[0] + 5 * k, base[1]),
                (base[0] + side * 6 * k, top - 8 * k)]
        d.polygon(horn, fill=K.ENEMY_INK + (255,))
        inner = [(base[0] - 3 * k, base[1]), (base[0] + 3 * k, base[1]),
                 (base[0] + side * 5 * k, top - 5 * k)]
        d.polygon(inner, fill=K.ENEMY_DARK + (255,))

    d.polygon(outline_shape(line), fill=K.ENEMY_INK + (255,))
    mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(mask).polygon(outline_shape(0), fill=255)
    shade = K.shaded_disc(img.size, (cx, head_cy + 6 * k), 30 * k, K.ENEMY_LIGHT, K.ENEMY,
                          K.ENEMY_DARK)
    body = Image.new("RGBA", img.size, (0, 0, 0, 0))
    body.paste(shade, (0, 0), mask)
    img.alpha_composite(body)
    # The face is drawn apart and clipped to the body, so no tooth sticks out.
    face = Image.new("RGBA", img.size, (0, 0, 0, 0))
    d = ImageDraw.Draw(face)

    # The face turns where the enemy goes.
    shift = {"right": (5 * k, 0), "left": (-5 * k, 0), "up": (0, -4 * k), "down": (0, 1 * k)}
    o = shift[direction]
    look = (f[0] * 3 * k, f[1] * 3 * k)
    eye_y = head_cy + 1 * k + o[1]
    for side in (-1, 1):
        e = (cx + side * 7.5 * k + o[0], eye_y)
        ellipse(d, e, 5.8 * k, 6.5 * k, fill=K.SHOWN_WHITE + (255,), outline=K.ENEMY_INK + (255,),
                width=int(1.0 * k))
        p = add(e, look)
        ellipse(d, p, 3.0 * k, 3.0 * k, fill=K.EYE_RED + (255,))
        ellipse(d, p, 1.5 * k, 1.5 * k, fill=K.ENEMY_INK + (255,))
        # Angry brows, slanting down to the middle.
        outer = (e[0] + side * 6.5 * k, e[1] - 8.5 * k)
        inner = (e[0] - side * 4.5 * k, e[1] - 4.5 * k)
        d.line([outer, inner], fill=K.ENEMY_INK + (255,), width=int(2.4 * k))

    mouth_y = head_cy + 10.5 * k + min(o[1], 0)  # the skirt leaves no room lower
    mx = cx + o[0]
    if phase:
        # Open: a dark maw with four fangs.
        d.ellipse((mx - 9 * k, mouth_y - 4 * k, mx + 9 * k, mouth_y + 5 * k),
                  fill=K.ENEMY_INK + (255,))
        for i, x in enumerate((-6, -2, 2, 6)):
            if i % 2 == 0:
                tooth = [(mx + (x - 1.8) * k, mouth_y - 3.2 * k), (mx + (x + 1.8) * k, mouth_y - 3.2 * k),
                         (mx + x * k, mouth_y + 1 * k)]
            else:
                tooth = [(mx + (x - 1.8) * k, mouth_y + 4.2 * k), (mx + (x + 1.8) * k, mouth_y + 4.2 * k),
                         (mx + x * k, mouth_y)]
            d.polygon(tooth, fill=K.SHOWN_WHITE + (255,))
    else:
        # Shut: a jagged grin of clenched teeth.
        d.rounded_rectangle((mx - 9 * k, mouth_y - 2.5 * k, mx + 9 * k, mouth_y + 2.5 * k),
                            radius=2 * k, fill=K.SHOWN_WHITE + (255,), outline=K.ENEMY_INK + (255,),
                            width=int(1.0 * k))
        zig = []
        for i in range(7):
            zig.append((mx + (-9 + 3 * i) * k, mouth_y + (1.5 if i % 2 else -1.5) * k))
        d.line(zig, fill=K.ENEMY_INK + (255,), width=int(0.9 * k))
    clipped = Image.new("RGBA", img.size, (0, 0, 0, 0))
    inner = mask.filter(ImageFilter.MinFilter(2 * int(1.5 * k) + 1))
    clipped.paste(face, (0, 0), ImageChops.multiply(face.getchannel("A"), inner))
    img.alpha_composite(clipped)
    return img


def enemy(direction, phase):
    return K.keyed(enemy_layer(direction, phase), 50, 50)


def wall():
    """A block of two rows of bricks that repeats seamlessly on the 25 grid."""
    img = Image.new("RGB", (25, 25), K.MORTAR)
    grain = random.Random(25)
    px = img.load()
    # (x0, x1, y0, y1) of each brick, wrapping at the tile's edges.
    bricks = [(0, 23, 0, 11), (13, 25 + 10, 12, 23)]
    for x0, x1, y0, y1 in bricks:
        for yy in range(y0, y1 + 1):
            for xx in range(x0, x1 + 1):
                x = xx % 25
                edge_top = yy == y0
                edge_left = xx == x0
                edge_bottom = yy == y1
                edge_right = xx == x1
                if edge_top or edge_left:
                    c = K.WALL_LIGHT
                elif edge_bottom or edge_right:
                    c = K.WALL_DARK
                else:
                    # A soft light from the top left, and a faint grain.
                    t = 0.5 - 0.05 * (xx - x0) - 0.04 * (yy - y0) + grain.uniform(-0.08, 0.08)
                    c = K.mix(K.WALL, K.WALL_LIGHT, t) if t > 0 else K.mix(K.WALL, K.WALL_DARK, -t)
                px[x, yy] = c
    return img


def chest_layer():
    """The chest, 20 pixels wide, SCALE times larger, as an RGBA layer."""
    img = K.canvas(20, 20)
    d = ImageDraw.Draw(img)
    s = S
    ink = K.INK + (255,)
    # Lid (rounded top) and box, outlined.
    d.rounded_rectangle((1 * s, 2 * s, 19 * s, 10 * s), radius=4 * s, fill=ink)
    d.rectangle((1 * s, 8 * s, 19 * s, 18.5 * s), fill=ink)
    d.rounded_rectangle((2.2 * s, 3.2 * s, 17.8 * s, 9.6 * s), radius=3 * s, fill=K.WOOD + (255,))
    d.rectangle((2.2 * s, 10.6 * s, 17.8 * s, 17.3 * s), fill=K.WOOD + (255,))
    # Wood grain.
    for y in (5.2, 13.2, 15.6):
        d.line(((3 * s, y * s), (17 * s, y * s)), fill=K.WOOD_DARK + (255,), width=int(0.6 * s))
    # Gold bands, rim and lock.
    for x in (4.2, 14.0):
        d.rectangle((x * s, 3.2 * s, (x + 1.8) * s, 17.3 * s), fill=K.GOLD + (255,))
        d.line(((x * s, 3.4 * s), (x * s, 17.2 * s)), fill=K.GOLD_LIGHT + (255,), width=int(0.6 * s))
    d.rectangle((1.6 * s, 9.2 * s, 18.4 * s, 11.0 * s), fill=K.GOLD + (255,))
    d.line(((1.8 * s, 9.4 * s), (18.2 * s, 9.4 * s)), fill=K.GOLD_LIGHT + (255,), width=int(0.6 * s))
    d.rounded_rectangle((8 * s, 8.2 * s, 12 * s, 13.6 * s), radius=1 * s, fill=K.GOLD_DARK + (255,),
                        outline=ink, width=int(0.6 * s))
    d.ellipse((9.3 * s, 9.6 * s, 10.7 * s, 11 * s), fill=ink)
    d.rectangle((9.7 * s, 10.5 * s, 10.3 * s, 12.5 * s), fill=ink)
    # A glint of treasure.
    d.polygon([(16.5 * s, 0.2 * s), (17.1 * s, 1.6 * s), (18.6 * s, 2.0 * s), (17.1 * s, 2.4 * s),
               (16.5 * s, 3.8 * s), (15.9 * s, 2.4 * s), (14.4 * s, 2.0 * s), (15.9 * s, 1.6 * s)],
              fill=K.GOLD_LIGHT + (255,), outline=K.GOLD_DARK + (255,))
    return img


def chest():
    return K.keyed(chest_layer(), 20, 20)


def empty_cell():
    """The editor's empty cell: white with a faint edge, so the grid shows."""
    img = Image.new("RGB", (25, 25), K.WHITE)
    d = ImageDraw.Draw(img)
    edge = (222, 230, 242)
    d.line(((24, 0), (24, 24)), fill=edge)
    d.line(((0, 24), (24, 24)), fill=edge)
    img.putpixel((24, 24), (200, 212, 232))
    return img


def main():
    for direction in DIRECTIONS:
        K.save_png(hero(direction, True), "Glouto%s.png" % FIRST_PHASE[direction])
        K.save_png(hero(direction, False), "Glouto%s.png" % SECOND_PHASE[direction])
        K.save_png(enemy(direction, 0), "Ennemi%s.png" % FIRST_PHASE[direction])
        K.save_png(enemy(direction, 1), "Ennemi%s.png" % SECOND_PHASE[direction])
    K.save_png(wall(), "Mur.png")
    K.save_png(chest(), "coffre.png")
    K.save_png(empty_cell(), "blanc.png")


if __name__ == "__main__":
    main()
