#!/usr/bin/python3
"""Draws the instructions page, assets/Images/ModeEmploi.png.

The game shows it at the top of a white 600 x 600 page, with the manual
button below it from y = 450 on, so it stays 600 wide and at most 445 high.
It is drawn with a white colour key: pure white is the page showing through.
"""

from PIL import Image, ImageDraw

import drawkit as K
import sprites

Z = 3                      # drawing scale of this page
WIDTH = 600
MAX_HEIGHT = 445
BODY = 15
SMALL = 13

PANEL_GOAL = ((255, 246, 214), K.GOLD_DARK)
PANEL_KEYS = ((226, 240, 255), K.WALL_DARK)
PANEL_MUSIC = ((236, 250, 230), (60, 140, 70))
PANEL_TWO = ((246, 234, 255), K.ENEMY_DARK)
PANEL_SECRET = ((242, 242, 242), (120, 120, 130))


class Page:
    def __init__(self, height):
        self.img = Image.new("RGBA", (WIDTH * Z, height * Z), K.WHITE + (255,))
        self.d = ImageDraw.Draw(self.img)

    def font(self, size, bold=False):
        return K.font(int(size * Z), bold)

    def text(self, x, y, s, size=BODY, bold=False, fill=K.INK):
        self.d.text((x * Z, y * Z), s, font=self.font(size, bold), fill=fill + (255,))
        return x + self.width(s, size, bold)

    def width(self, s, size=BODY, bold=False):
        l, _, r, _ = self.d.textbbox((0, 0), s, font=self.font(size, bold))
        return (r - l) / Z

    def wrap(self, x, y, w, s, size=BODY, line=18, fill=K.INK):
        words, row = s.split(" "), ""  # no break at a non-breaking space
        for word in words:
            trial = (row + " " + word).strip()
            if self.width(trial, size) > w and row:
                self.text(x, y, row, size, fill=fill)
                y += line
                row = word
            else:
                row = trial
        if row:
            self.text(x, y, row, size, fill=fill)
            y += line
        return y

    def panel(self, box, colours, title):
        fill, edge = colours
        x0, y0, x1, y1 = box
        self.d.rounded_rectangle((x0 * Z, y0 * Z, x1 * Z, y1 * Z), radius=10 * Z,
                                 fill=fill + (255,), outline=edge + (255,), width=int(1.5 * Z))
        tw = self.width(title, BODY, True)
        self.d.rounded_rectangle(((x0 + 10) * Z, (y0 - 1) * Z, (x0 + 22 + tw) * Z, (y0 + 19) * Z),
                                 radius=8 * Z, fill=edge + (255,))
        self.text(x0 + 16, y0 - 1, title, BODY, True, fill=(255, 252, 240))

    def key(self, x, y, label, size=SMALL, min_w=20):
        """A key cap with its label; returns the x after it."""
        w = max(min_w, self.width(label, size, True) + 10)
        h = 19
        self.d.rounded_rectangle((x * Z, (y + 1.5) * Z, (x + w) * Z, (y + h + 1.5) * Z), radius=4 * Z,
                                 fill=(120, 124, 140, 255))
        self.d.rounded_rectangle((x * Z, y * Z, (x + w) * Z, (y + h) * Z), radius=4 * Z,
                                 fill=(248, 248, 250, 255), outline=(120, 124, 140, 255), width=int(Z))
        if label in ARROWS:
            self.arrow(x + w / 2, y + h / 2, ARROWS[label])
        else:
            l, t, r, b = self.d.textbbox((0, 0), label, font=self.font(size, True))
            self.d.text(((x + w / 2) * Z - (r - l) / 2 - l, (y + h / 2) * Z - (b - t) / 2 - t), label,
                        font=self.font(size, True), fill=K.INK + (255,))
        return x + w

    def arrow(self, cx, cy, direction):
        pts = [(0, -6), (5.5, 0.5), (2, 0.5), (2, 6), (-2, 6), (-2, 0.5), (-5.5, 0.5)]
        turn = {"up": 0, "right": 90, "down": 180, "left": 270}[direction]
        pts = K.rotate_points(pts, (0, 0), turn)
        self.d.polygon([((cx + px) * Z, (cy + py) * Z) for px, py in pts], fill=K.INK + (255,))

    def keys(self, x, y, labels, gap=3):
        for i, label in enumerate(labels):
            x = self.key(x, y, label) + (gap if i < len(labels) - 1 else 0)
        return x

    def sprite(self, layer, x, y):
        px = layer.width // K.SCALE
        small = layer.resize((px * Z, px * Z), Image.LANCZOS)
        self.img.alpha_composite(small, (int(x * Z), int(y * Z)))


ARROWS = {"\u2190": "left", "\u2191": "up", "\u2192": "right", "\u2193": "down"}
ARROW_KEYS = ["\u2190", "\u2191", "\u2192", "\u2193"]


def draw(page):
    p = page
    # Title, between Glouto and a chest.
    title = "Mode d'emploi"
    tw = p.width(title, 28, True)
    p.text((WIDTH - tw) / 2, -4, title, 28, True)
    p.sprite(sprites.hero_layer("right", True, px=32), (WIDTH - tw) / 2 - 44, 2)
    p.sprite(sprites.chest_layer().resize((24 * K.SCALE, 24 * K.SCALE)), (WIDTH + tw) / 2 + 14, 8)
    p.sprite(sprites.enemy_layer("left", 1, px=32), (WIDTH + tw) / 2 + 44, 1)

    # The goal.
    y = 42
    p.panel((2, y, 598, y + 93), PANEL_GOAL, "Le but du jeu")
    p.wrap(14, y + 21, 574,
           "Guide Glouto dans le labyrinthe et mange les coffres au tr\u00e9sor\u00a0! Quand "
           "\u00ab\u00a0Restant\u00a0\u00bb tombe \u00e0 0 avant la fin du \u00ab\u00a0Temps\u00a0\u00bb, "
           "tu passes au niveau suivant, plus grand et plus peupl\u00e9. Un ennemi qui te touche "
           "te co\u00fbte une vie\u00a0; un coffre qu'il mange fait remonter \u00ab\u00a0Restant\u00a0\u00bb. "
           "Certains coffres comptent triple\u00a0!", line=17.5)

    # Keys of play and of the music, side by side.
    y = 141
    rows = 5
    h = 26 + rows * 21
    p.panel((2, y, 297, y + h), PANEL_KEYS, "Jouer")
    p.panel((303, y, 598, y + h), PANEL_MUSIC, "La musique")
    play = [(ARROW_KEYS, "diriger Glouto"), (["Entr\u00e9e"], "arr\u00eater Glouto"),
            (["p"], "pause, puis reprise"), ([";"], "pendant la pause : le son revient"),
            (["Echap"], "quitter le jeu")]
    music = [(["Espace"], "musique oui / non"), (["F1"], "morceau suivant"),
             (["F2"], "morceau pr\u00e9c\u00e9dent"), (["="], "plus fort"), (["6"], "moins fort")]
    for column, x0 in ((play, 12), (music, 313)):
        ry = y + 25
        for labels, what in column:
            x = p.keys(x0, ry, labels)
            p.text(x + 8, ry, what, BODY - 1)
            ry += 21

    # Two players.
    y += h + 6
    p.panel((2, y, 598, y + 70), PANEL_TWO, "\u00c0 deux joueurs")
    ry = y + 24
    x = p.text(14, ry, "Joueur 1 :", BODY - 1, True)
    x = p.keys(x + 6, ry, ARROW_KEYS)
    x = p.text(x + 6, ry, "Glouto", BODY - 1)
    x = p.text(x + 22, ry, "Joueur 2 :", BODY - 1, True)
    # The same four keys under the left hand, in QWERTY and in AZERTY.
    x = p.keys(x + 6, ry, ["w", "a", "s", "d"])
    x = p.text(x + 6, ry, "ou", BODY - 1)
    x = p.keys(x + 6, ry, ["z", "q", "s", "d"])
    assert x <= 590, x
    rule = ("Le joueur 2 m\u00e8ne le premier ennemi. Pas de vies perdues\u00a0; score\u00a0: "
            "Glouto moins les ennemis.")
    assert p.width(rule, BODY - 1) <= 574, p.width(rule, BODY - 1)
    p.text(14, ry + 22, rule, BODY - 1)

    # Secret keys.
    y += 70 + 6
    p.panel((2, y, 598, y + 86), PANEL_SECRET, "Touches secr\u00e8tes (pour tricher)")
    secrets = [("g", "niveau gagn\u00e9"), ("t", "fin de la partie"), ("v", "une vie de plus"),
               ("F5", "100 secondes de plus"), ("Shift droit", "invincible"),
               ("Shift gauche", "fin de l'invincibilit\u00e9"), ("Ctrl gauche", "ennemis partis"),
               ("Retour arri\u00e8re", "murs effac\u00e9s")]
    columns = (12, 160, 382)
    spots = [(0, 0), (0, 1), (0, 2), (1, 0), (1, 1), (1, 2), (2, 0), (2, 1)]
    for (label, what), (col, row) in zip(secrets, spots):
        x0 = columns[col]
        ry = y + 23 + row * 20.5
        x = p.key(x0, ry, label)
        p.text(x + 6, ry + 1, what, SMALL)
    return y + 86


def main():
    page = Page(MAX_HEIGHT)
    bottom = draw(page)
    height = int(bottom) + 2
    assert height <= MAX_HEIGHT, height
    img = page.img.crop((0, 0, WIDTH * Z, height * Z))
    out = K.opaque(img, WIDTH, height)
    K.save_png(out, "ModeEmploi.png")


if __name__ == "__main__":
    main()
