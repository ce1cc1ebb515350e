#!/usr/bin/python3
"""Builds the shipped levels, assets/Niveaux/Niveau_1.txt to Niveau_20.txt.

Each level is a set of wall pieces (bars, corners, crosses, blocks) on the
25-pixel grid, laid out with a symmetry and a seeded random generator. The
rules that make a level playable:
  - pieces never touch each other: between two pieces, and between a piece
    and the window's edge, lies a gap of at least GAP cells, wide enough for
    the 50-pixel actors; only a straight bar may stand against one edge;
  - the start squares of the enemies (26, 26) and of Glouto (W/2 + 1, 301)
    stay clear, with room around them;
  - enough free spots are left for the chests (see chest_room).
Later levels are wider, have more and longer pieces and narrower gaps.

Usage: levels.py [--preview DIR]
"""

import os
import random
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(os.path.dirname(HERE), "assets", "Niveaux")
CELL = 25
HEIGHT = 600
ROWS = HEIGHT // CELL
LEVELS = 20


def level_width(n):
    return min(600 + 100 * (n - 1), 1000)


def chest_room(walls, width):
    """Share of all chest draws (x = rand() % W - 30, y = rand() % 600 - 30)
    that the chest rule accepts: x and y at least 30, and no wall (a, b) with
    |x - a| <= 50 and |y - b| <= 50."""
    accepted = 0
    for y in range(30, HEIGHT - 30):
        spans = sorted((a - 50, a + 50) for a, b in walls if abs(y - b) <= 50)
        free, x = 0, 30
        for lo, hi in spans:
            if lo > x:
                free += min(lo, width - 30) - x
            x = max(x, hi + 1)
            if x >= width - 30:
                break
        if x < width - 30:
            free += width - 30 - x
        accepted += free
    return accepted / float(width * HEIGHT)


def touches(x, y, a, b, size=50):
    """A size-pixel actor at (x, y) against a 25-pixel wall at (a, b), edges included."""
    return a - size <= x <= a + 25 and b - size <= y <= b + 25


def reachable(walls, width):
    """Flood fill of the 50-pixel actor's positions on a 5-pixel lattice from
    Glouto's start; True when the enemies' start is reached."""
    start = (width // 2 + 1, HEIGHT // 2 + 1)
    goal = (26, 26)
    blocked = set()
    xs = range(start[0] % 5, width - 50 + 1, 5)
    ys = range(start[1] % 5, HEIGHT - 50 + 1, 5)
    for x in xs:
        for y in ys:
            if any(touches(x, y, a, b) for a, b in walls if abs(a - x) <= 75 and abs(b - y) <= 75):
                blocked.add((x, y))
    seen, todo = {start}, [start]
    while todo:
        x, y = todo.pop()
        for nx, ny in ((x + 5, y), (x - 5, y), (x, y + 5), (x, y - 5)):
            if 0 <= nx <= width - 50 and 0 <= ny <= HEIGHT - 50 and (nx, ny) not in seen \
                    and (nx, ny) not in blocked:
                seen.add((nx, ny))
                todo.append((nx, ny))
    return goal in seen


# Piece shapes, as cell offsets.
def bar(n, vertical):
    return [(0, k) if vertical else (k, 0) for k in range(n)]


def corner(a, b, turn):
    cells = [(k, 0) for k in range(a)] + [(0, k) for k in range(1, b)]
    return orient(cells, turn)


def tee(a, b, turn):
    cells = [(k - a // 2, 0) for k in range(a)] + [(0, k) for k in range(1, b)]
    return orient(cells, turn)


def cross(a):
    h = a // 2
    return [(k - h, 0) for k in range(a)] + [(0, k - h) for k in range(a) if k != h]


def block(w, h):
    return [(i, j) for i in range(w) for j in range(h)]


def cup(w, d, turn):
    """A U open on one side; its inside is w - 2 cells wide."""
    cells = [(k, 0) for k in range(w)] + [(0, k) for k in range(1, d)] + [(w - 1, k) for k in range(1, d)]
    return orient(cells, turn)


def ladder(w, h, turn):
    """An H: two bars of h joined in their middle by a rung."""
    cells = [(0, k) for k in range(h)] + [(w - 1, k) for k in range(h)]
    cells += [(k, h // 2) for k in range(1, w - 1)]
    return orient(cells, turn)


def step(a, b, turn):
    """A Z: a bar, a drop of b, a bar."""
    cells = [(k, 0) for k in range(a)] + [(a - 1, k) for k in range(1, b)]
    cells += [(a - 1 + k, b - 1) for k in range(1, a)]
    return orient(cells, turn)


def orient(cells, turn):
    for _ in range(turn % 4):
        cells = [(-y, x) for x, y in cells]
    return cells


class Level:
    def __init__(self, n, rnd, frame):
        self.n = n
        self.width = level_width(n)
        self.cols = self.width // CELL
        self.rnd = rnd
        self.inset = 1 if frame else 0  # a frame is the edge the pieces keep off
        self.pieces = []                # sets of (col, row)
        self.cells = set()
        self.forbidden = self.clear_zones()
        if frame:
            ring = {(i, j) for i in range(self.cols) for j in range(ROWS)
                    if i in (0, self.cols - 1) or j in (0, ROWS - 1)}
            self.cells |= ring

    def clear_zones(self):
        """Cells kept free: round the enemies' start and Glouto's, with room.
        The outer ring stays free to use: a wall there touches neither."""
        zone = set()
        for i in range(1, 7):
            for j in range(1, 7):
                zone.add((i, j))
        ci, cj = self.cols // 2, ROWS // 2
        for i in range(ci - 3, ci + 5):
            for j in range(cj - 3, cj + 5):
                zone.add((i, j))
        return zone

    def walls(self):
        return sorted((i * CELL, j * CELL) for i, j in self.cells)

    def room(self, cells):
        return chest_room([(a * CELL, b * CELL) for a, b in cells], self.width)

    def edge_gaps(self, cells):
        lo, hi_i, hi_j = self.inset, self.cols - 1 - self.inset, ROWS - 1 - self.inset
        return [min(i for i, _ in cells) - lo, hi_i - max(i for i, _ in cells),
                min(j for _, j in cells) - lo, hi_j - max(j for _, j in cells)]

    def fits(self, cells, gap, straight):
        for c in cells:
            if min(self.edge_gaps([c])) < 0 or c in self.forbidden:
                return False
        gaps = self.edge_gaps(cells)
        touching = [k for k, g in enumerate(gaps) if g == 0]
        if any(0 < g < gap for g in gaps) or len(touching) > 1:
            return False
        if touching:
            # Only a bar may stand against an edge, and only across it.
            vertical = len({i for i, _ in cells}) == 1
            if not straight or (touching[0] < 2) == vertical:
                return False
        for other in self.pieces:
            for i, j in cells:
                for p, q in other:
                    if max(abs(i - p), abs(j - q)) <= gap:
                        return False
        return True

    def mirrored(self, cells, symmetry):
        mx = lambda c: [(self.cols - 1 - i, j) for i, j in c]
        my = lambda c: [(i, ROWS - 1 - j) for i, j in c]
        copies = {"x": [cells, mx(cells)], "y": [cells, my(cells)],
                  "point": [cells, mx(my(cells))],
                  "four": [cells, mx(cells), my(cells), mx(my(cells))]}.get(symmetry, [cells])
        unique = []
        for c in copies:
            if set(c) not in [set(u) for u in unique]:
                unique.append(c)
        return unique

    def place(self, shape, at, straight, gap, symmetry, min_room):
        """Places a shape at a cell with its mirror images, if all of them fit
        and the chests keep their room."""
        i, j = at
        placed = []
        for c in self.mirrored([(i + dx, j + dy) for dx, dy in shape], symmetry):
            if not self.fits(c, gap, straight) or any(
                    max(abs(a - p), abs(b - q)) <= gap for other in placed for a, b in c for p, q in other):
                return False
            placed.append(c)
        trial = self.cells.union(*[set(c) for c in placed])
        if self.room(trial) < min_room:
            return False
        self.pieces += [set(c) for c in placed]
        self.cells = trial
        return True

    def random_spot(self, shape, straight):
        i = self.rnd.randrange(self.cols)
        j = self.rnd.randrange(ROWS)
        if straight and self.rnd.random() < 0.35:
            # Stand the bar against the edge it points to.
            length = len(shape)
            if all(dx == 0 for dx, _ in shape):
                j = self.rnd.choice((self.inset, ROWS - self.inset - length))
            else:
                i = self.rnd.choice((self.inset, self.cols - self.inset - length))
        return i, j


def random_shape(rnd, n, size, gap):
    """A piece of a size class for level n, and whether it is a straight bar.
    Pockets (inside a U, between the legs of an H or a Z) are at least `gap`
    cells wide, so nothing narrower than a corridor is ever made."""
    turn = rnd.randrange(4)
    thick = n >= 5 and rnd.random() < 0.25
    if size == "small":
        k = rnd.random()
        if k < 0.6:
            return bar(rnd.randint(3, 5), rnd.random() < 0.5), True
        if k < 0.8 and n >= 3:
            return corner(3, 3, turn), False
        return block(2, 2) if n >= 2 else bar(3, True), n < 2
    if size == "medium":
        k = rnd.random()
        if k < 0.35:
            if thick:
                return orient(block(rnd.randint(4, 6), 2), turn), False
            return bar(rnd.randint(6, 9), rnd.random() < 0.5), True
        if k < 0.6:
            return corner(rnd.randint(3, 6), rnd.randint(3, 6), turn), False
        if k < 0.8:
            return tee(rnd.choice((5, 7)), rnd.randint(2, 4), turn), False
        return cross(5), False
    k = rnd.random()
    if k < 0.2:
        return cup(gap + 2 + rnd.randint(0, 2), rnd.randint(3, 5), turn), False
    if k < 0.4:
        return ladder(gap + 2 + rnd.randint(0, 1), rnd.randint(5, 7), turn), False
    if k < 0.55:
        return step(rnd.randint(4, 6), gap + 2 + rnd.randint(0, 1), turn), False
    if k < 0.75:
        return cross(rnd.choice((7, 9))), False
    if k < 0.9:
        return corner(rnd.randint(6, 9), rnd.randint(5, 8), turn), False
    return bar(rnd.randint(10, 14), rnd.random() < 0.5), True


# Size classes each level uses, largest first.
def size_plan(n):
    if n == 1:
        return ["small"]
    if n <= 3:
        return ["medium", "small"]
    return ["large", "medium", "small"]


def build(n):
    rnd = random.Random(1000 + n)
    level = Level(n, rnd, frame=n % 3 == 0)
    symmetry = ["x", "point", "four", "y", "x", "point", "four", "x"][n % 8]
    gap = 4 if n <= 8 else 3
    # Chest room left: generous at first, down to about a third of all draws.
    min_room = max(0.3, 0.58 - 0.022 * (n - 1))
    target = 12 + 16 * n + len(level.cells)
    for size in size_plan(n):
        for _ in range(1500):
            if len(level.cells) >= target:
                break
            shape, straight = random_shape(rnd, n, size, gap)
            level.place(shape, level.random_spot(shape, straight), straight, gap, symmetry, min_room)
    walls = level.walls()
    assert reachable(walls, level.width), n
    return level, walls


def write(n, walls):
    path = os.path.join(OUT, "Niveau_%d.txt" % n)
    with open(path, "w", newline="\n") as f:
        f.write("%d\n" % len(walls))
        for a, b in walls:
            f.write("%d\t%d\n" % (a, b))


def preview(directory, n, walls, width):
    from PIL import Image, ImageDraw
    mur = Image.open(os.path.join(os.path.dirname(OUT), "Images", "Mur.png"))
    img = Image.new("RGB", (width, HEIGHT), (255, 255, 255))
    for a, b in walls:
        img.paste(mur, (a, b))
    d = ImageDraw.Draw(img)
    d.rectangle((26, 26, 76, 76), outline=(160, 60, 200))
    d.rectangle((width // 2 + 1, 301, width // 2 + 51, 351), outline=(230, 150, 0))
    img.save(os.path.join(directory, "level_%02d.png" % n))


def main():
    show = sys.argv[2] if len(sys.argv) > 2 and sys.argv[1] == "--preview" else None
    for n in range(1, LEVELS + 1):
        level, walls = build(n)
        write(n, walls)
        print("level %2d: width %4d, %3d walls, chest room %.2f" %
              (n, level.width, len(walls), chest_room(walls, level.width)))
        if show:
            preview(show, n, walls, level.width)


if __name__ == "__main__":
    main()
