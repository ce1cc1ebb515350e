"""The hero's pace (pixels per second) in the desktop game under Xvfb, measured
as bench/web/pace.js measures it in the browser: level 1, then the heavy level 5.
    python3 bench/web/desktop_pace.py build/game assets"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))
import harness  # noqa: E402

WELCOME = "Bienvenue dans le monde du Glouto !"


def hero_x(image):
    """Centre along x of the hero's orange in its rows (y 301 to 350)."""
    width = image.size[0]
    band = image.crop((0, 301, width, 351)).getdata()
    xs = [i % width for i, (r, g, b) in enumerate(band) if r > 220 and 150 < g < 190 and b < 60]
    return sum(xs) / len(xs) if len(xs) > 50 else None


def pace_of(samples):
    """The first run to the left, as paceOf in pace.js."""
    xs = [s for s in samples if s[1] is not None]
    first = 1
    while first < len(xs) and xs[first][1] > xs[first - 1][1] - 0.5:
        first += 1
    last = first
    while last + 1 < len(xs) and xs[last + 1][1] < xs[last][1] - 0.5:
        last += 1
    (t0, x0), (t1, x1) = xs[first - 1], xs[last]
    return (x0 - x1) / (t1 - t0)


def run(game, assets, level):
    levels = {f"Niveau_{n}.txt": open(os.path.join(assets, "Niveaux", f"Niveau_{n}.txt"), "rb").read()
              for n in range(1, 5)}
    levels["Niveau_5.txt"] = subprocess.run(["node", os.path.join(HERE, "level.js")],
                                            capture_output=True, check=True).stdout
    workdir = harness.make_workdir(assets, levels)
    artifacts = tempfile.mkdtemp(prefix="glouto-pace-")
    session = harness.Session(game, workdir, artifacts)
    try:
        session.wait_caption(WELCOME)
        time.sleep(1)
        session.click(300, 295)
        for n in range(1, level + 1):
            session.wait_caption(WELCOME)
            time.sleep(0.3)
            session.key("Return")
            session.wait_caption(f"Glouto seconde generation ! Niveau {n}")
            if n < level:
                time.sleep(0.3)  # once the level runs
                session.key("g")
        for key in ("Control_L", "Shift_R"):
            session.key(key)
        time.sleep(0.5)
        session.key("Left")
        # A screenshot takes a while and competes with the game for the
        # processor: few of them, each timed at its middle.
        start, samples = time.monotonic(), []
        while time.monotonic() - start < 3:
            before = time.monotonic()
            x = hero_x(session.screenshot("pace"))
            samples.append(((before + time.monotonic()) / 2 - start, x))
            time.sleep(0.4)
        print(f"desktop pace at level {level}: {pace_of(samples):.1f} px/s")
    finally:
        session.finish()
        shutil.rmtree(workdir, ignore_errors=True)
        shutil.rmtree(artifacts, ignore_errors=True)


if __name__ == "__main__":
    for level in (1, 5):
        run(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), level)
