#!/usr/bin/env python3
"""Plays scripted games in the real game, in a private Xvfb, and keeps each one's recording.

    tools/record_games.py BUILD_DIR OUT_DIR [NAME...]

Each game below is a list of steps: click X Y (the game's pixels), key K, hold K SECONDS, caption TEXT
(waits until the window's caption holds it), play SECONDS. The recordings (OUT_DIR/NAME.partie) are the
suite's recorded games once a person has watched them (game --revoir).
"""
import os, shutil, subprocess, sys, tempfile, time

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MENU_ONE, MENU_TWO, START = "click 300 295", "click 300 345", "click c 380"
LEVEL_UP = ["key g", "caption Bienvenue", START, "caption Niveau"]

GAMES = {
    # Each shipped width: levels 1 to 5 (600 to 1000 pixels), music keys, a pause, won with key t.
    "widths_music_pause_won": [MENU_ONE, START, "caption Niveau 1", "hold Right 1.5", "key space", "key F1",
                               "key F2", "key 6", "key equal", "key p", "caption PAUSE", "play 1", "key semicolon",
                               "key p", "caption Niveau 1", "hold Up 1", "play 2"] + LEVEL_UP * 4 +
                              ["hold Left 1", "key t", "caption Felicitation", "key Escape", "caption Remerciements",
                               "click c 120"],
    # Two players, the second steering its monster; a lost end (the monsters ate more).
    "two_players_lost": [MENU_TWO, START, "caption Niveau 1", "hold Down 1", "key a", "play 1", "key w",
                         "play 1", "key d", "hold s 1", "play 3", "key t", "caption dommage", "key Escape",
                         "caption Remerciements", "key Return"],
    # One player caught by the monster with no life left: lost in play.
    "caught_lost": [MENU_ONE, START, "caption Niveau 1", "key Left", "play 8", "key Up", "play 8", "key Right",
                    "play 8", "key Down", "play 8", "key t", "caption dommage", "key Escape", "caption Remerciements",
                    "key Return"],
}


class Game:
    def __init__(self, build, folder):
        number = 90 + os.getpid() % 100
        self.xserver = subprocess.Popen(["Xvfb", f":{number}", "-screen", "0", "1280x1024x24"],
                                        stderr=subprocess.DEVNULL)
        self.env = dict(os.environ, DISPLAY=f":{number}", SDL_AUDIODRIVER="dummy")
        self.game = None
        self.wait_for(lambda: os.path.exists(f"/tmp/.X11-unix/X{number}"))
        self.folder = folder
        self.game = subprocess.Popen([os.path.join(build, "game")], cwd=folder, env=self.env,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.wait_for(lambda: self.window())

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True).stdout

    def window(self):
        return ([None] + self.xdotool("search", "--onlyvisible", "--classname", "^game$").split())[-1]

    def caption(self):
        return self.xdotool("getwindowname", self.window() or "").strip()

    def width(self):
        geometry = dict(l.split("=", 1) for l in self.xdotool("getwindowgeometry", "--shell", self.window()).split())
        return int(geometry["WIDTH"])

    def wait_for(self, condition, seconds=60):
        end = time.time() + seconds
        while not condition():
            if time.time() > end or (self.game and self.game.poll() is not None):
                raise SystemExit("the game did not get there")
            time.sleep(0.05)

    def step(self, line):
        verb, *rest = line.split(" ", 1)
        arg = rest[0] if rest else ""
        if verb == "click":
            x, y = arg.split()
            x = self.width() // 2 if x == "c" else int(x)
            self.xdotool("mousemove", "--window", self.window(), x, int(y), "click", 1)
        elif verb == "key":
            self.xdotool("key", "--window", self.window(), arg)
        elif verb == "hold":
            key, seconds = arg.split()
            self.xdotool("keydown", "--window", self.window(), key)
            time.sleep(float(seconds))
            self.xdotool("keyup", "--window", self.window(), key)
        elif verb == "caption":
            self.wait_for(lambda: arg in self.caption())
        elif verb == "play":
            time.sleep(float(arg))
        time.sleep(0.3)  # the game takes one event a pass

    def finish(self):
        out, _ = self.game.communicate(timeout=60)
        self.xserver.terminate()
        return out


def main():
    build, out = os.path.abspath(sys.argv[1]), sys.argv[2]
    for name in sys.argv[3:] or GAMES:
        with tempfile.TemporaryDirectory() as folder:
            for item in os.listdir(os.path.join(SOURCE, "assets")):
                src = os.path.join(SOURCE, "assets", item)
                (shutil.copytree if os.path.isdir(src) else shutil.copy)(src, os.path.join(folder, item))
            game = Game(build, folder)
            try:
                for line in GAMES[name]:
                    print(" ", line, file=sys.stderr)
                    game.step(line)
                end = game.finish().strip()
            finally:
                game.game.kill()
                game.xserver.terminate()
            kept = os.listdir(os.path.join(folder, "Parties"))
            shutil.copy(os.path.join(folder, "Parties", kept[0]), os.path.join(out, name + ".partie"))
            print(name, end)


if __name__ == "__main__":
    main()
