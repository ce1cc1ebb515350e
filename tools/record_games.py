#!/usr/bin/env python3
"""Plays scripted games in the real game, in a private Xvfb, and keeps each one's recording.

    tools/record_games.py BUILD_DIR OUT_DIR [NAME...]

Each game below is a list of steps: args A... (the game's command line, first), click X Y (the game's
pixels, c the middle of the width), key K, hold K SECONDS, caption TEXT|TEXT (waits until the window's
caption holds one), play SECONDS, wander SECONDS (arrows at random, a fixed draw), close (the window's
close button). The recordings (OUT_DIR/NAME.partie) are the suite's recorded games once a person has
watched them (game --revoir); each game's end line and length are printed.
"""
import ctypes, os, random, shutil, subprocess, sys, tempfile, time

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MENU_ONE, MENU_TWO, START = "click 300 295", "click 300 345", "click c 380"
LEVEL_UP = ["key g", "caption Bienvenue", START, "caption Niveau"]
ENDED = "caption Felicitation|dommage"
CREDITS = ["key Escape", "caption Remerciements", "key Return"]

GAMES = {
    # Each shipped width: levels 1 to 5 (600 to 1000 pixels), music keys, a pause, won with key t.
    "widths_music_pause_won": [MENU_ONE, START, "caption Niveau 1", "hold Right 1.5", "key space", "key F1",
                               "key F2", "key 6", "key equal", "key p", "caption PAUSE", "play 1", "key semicolon",
                               "key p", "caption Niveau 1", "hold Up 1", "play 2"] + LEVEL_UP * 4 +
                              ["hold Left 1", "key t", "caption Felicitation", "key Escape", "caption Remerciements",
                               "click c 120"],
    # Two players, the second steering its monster (QWERTY and AZERTY); a lost end (the monsters ate more).
    "two_players_lost": [MENU_TWO, START, "caption Niveau 1", "hold Down 1", "key a", "play 1", "key w",
                         "play 1", "key d", "hold s 1", "key z", "play 1", "key q", "play 2", "key t",
                         "caption dommage"] + CREDITS,
    # One player caught by the monster with no life left: lost in play.
    "caught_lost": [MENU_ONE, START, "caption Niveau 1", "key Left", "play 8", "key Up", "play 8", "key Right",
                    "play 8", "key Down", "play 8", "key t", "caption dommage"] + CREDITS,
    # The manual and back; every other key of play, the tracks wrapping both ways, the clock past 999;
    # a level without walls or monsters before the next; won, and both logos of the credits clicked.
    "keys_manual_logos_won": ["click 300 120", "click 300 485", "click 300 570", MENU_ONE, START,
                              "caption Niveau 1", "key F2", "key F1", "hold Right 1", "key v", "key Shift_R",
                              "hold Down 1.5", "wander 4", "key Shift_L", "key Return", "play 0.5", "key a", "key d", "key s",
                              "key w", "key z", "key q", "key semicolon", "key e", "key F3", "key Control_R"] +
                             ["key F5"] * 9 + ["hold Up 1", "key BackSpace", "hold Left 1.5", "key Control_L",
                                               "play 1"] + LEVEL_UP +
                             ["wander 8", "key t", "caption Felicitation", "key Escape", "caption Remerciements",
                              "click c 250", "click c 370", "click c 120"],
    # Started at level 3 (800 pixels): played, paused, and ended by Escape in the pause.
    "level_3_escape_in_pause": ["args --niveau 3", MENU_ONE, START, "caption Niveau 3", "wander 6", "key p",
                                "caption PAUSE", "key v", "key g", "key Escape", ENDED] + CREDITS,
    # Closing the window in the pause ends the program: no end screens.
    "closed_in_pause": [MENU_ONE, START, "caption Niveau 1", "wander 4", "key p", "caption PAUSE", "close"],
    # A player's game of about five minutes, to its natural end: the clock ran out, or the monster caught.
    "five_minutes": [MENU_ONE, START, "caption Niveau 1", "key v", "key v", "wander 300", "key t", ENDED] + CREDITS,
}


def close_window(display, window):
    """Asks the window to close as its close button does (there is no window manager)."""
    x11, p = ctypes.CDLL("libX11.so.6"), ctypes.c_void_p
    x11.XOpenDisplay.restype = x11.XInternAtom.restype = p
    x11.XOpenDisplay.argtypes, x11.XFlush.argtypes = [ctypes.c_char_p], [p]
    x11.XInternAtom.argtypes = [p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, p]
    connection = x11.XOpenDisplay(display.encode())
    atom = lambda name: x11.XInternAtom(connection, name, 0)
    message = (ctypes.c_long * 24)(33, 0, 0, 0, window, atom(b"WM_PROTOCOLS"), 32, atom(b"WM_DELETE_WINDOW"))
    x11.XSendEvent(connection, window, 0, 0, message)
    x11.XFlush(connection)


class Game:
    def __init__(self, build, folder, args):
        # Xvfb picks a free display and writes its number once it accepts connections.
        read_end, write_end = os.pipe()
        self.xserver = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                                         "-nolisten", "tcp", "-noreset"], pass_fds=[write_end],
                                        stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            self.display = ":" + pipe.readline().decode().strip()
        if self.display == ":":
            raise SystemExit("Xvfb did not start")
        # Without a window manager sdl12-compat centres the window: a wide one would pass the screen's edge.
        self.env = dict(os.environ, DISPLAY=self.display, SDL_AUDIODRIVER="dummy", SDL_VIDEO_WINDOW_POS="0,0")
        self.env.pop("XAUTHORITY", None)
        self.game = None
        self.game = subprocess.Popen([os.path.join(build, "game"), *args], cwd=folder, env=self.env,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.wait_for(lambda: self.window())
        self.started = time.monotonic()

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

    def hold(self, key, seconds):
        self.xdotool("keydown", "--window", self.window(), key)
        time.sleep(seconds)
        self.xdotool("keyup", "--window", self.window(), key)

    def step(self, line, draw):
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
            self.hold(key, float(seconds))
        elif verb == "caption":
            self.wait_for(lambda: any(text in self.caption() for text in arg.split("|")))
        elif verb == "play":
            time.sleep(float(arg))
        elif verb == "wander":  # until the time is up or the game left play; a level won goes on
            end = time.monotonic() + float(arg)
            while time.monotonic() < end and ("Niveau" in self.caption() or "Bienvenue" in self.caption()):
                if "Bienvenue" in self.caption():
                    self.step(START, draw)
                    self.wait_for(lambda: "Niveau" in self.caption())
                self.xdotool("key", "--window", self.window(), draw.choice(["Up", "Down", "Left", "Right"]))
                time.sleep(draw.uniform(0.3, 1.5))
        elif verb == "close":
            close_window(self.display, int(self.window()))
        time.sleep(0.3)  # the game takes one event a pass

    def finish(self):
        out, _ = self.game.communicate(timeout=60)
        return out, time.monotonic() - self.started


def main():
    build, out = os.path.abspath(sys.argv[1]), sys.argv[2]
    for name in sys.argv[3:] or GAMES:
        steps = GAMES[name]
        args = steps[0].split()[1:] if steps[0].startswith("args ") else []
        with tempfile.TemporaryDirectory() as folder:
            for item in os.listdir(os.path.join(SOURCE, "assets")):
                src = os.path.join(SOURCE, "assets", item)
                (shutil.copytree if os.path.isdir(src) else shutil.copy)(src, os.path.join(folder, item))
            game = Game(build, folder, args)
            try:
                draw = random.Random(name)
                for line in steps[1 if args else 0:]:
                    print(" ", line, file=sys.stderr)
                    game.step(line, draw)
                end, seconds = game.finish()
            finally:
                game.game.kill()
                game.xserver.terminate()
                game.xserver.wait()
            kept = os.listdir(os.path.join(folder, "Parties"))
            shutil.copy(os.path.join(folder, "Parties", kept[0]), os.path.join(out, name + ".partie"))
            print(name, end.strip(), f"({seconds:.0f} s)")


if __name__ == "__main__":
    main()
