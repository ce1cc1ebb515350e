"""Plays tests/scenarios/NAME.txt on the desktop as tests/web/harness.js plays it in the browser: the program in a
private Xvfb and folder, a stand-in desktop recording what it opens, its sound in a file, keys through XTest.
    run_scenario.py NAME --assets DIR --artifacts DIR [--game PATH] [--editor PATH]"""
import argparse, ctypes, itertools, os, shlex, shutil, signal, subprocess, sys, tempfile, time
from PIL import Image, ImageChops

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
from record_games import close_window  # noqa: E402  the close button, as the recorded games press it
ENDINGS = ("WELCOME", "WON", "LOST", "CREDITS")  # what a program leaving at once never shows
SECOND = 44100 * 4  # of sound, as the disk driver writes it
changed_box = lambda before, after: ImageChops.difference(before, after).getbbox()
words_in = lambda samples: len({samples[i:i + 2] for i in range(0, len(samples) - 1, 2)})  # silence has one
# Every wait may take the rest of the test's own time: load or valgrind only make a run slower.
DEADLINE = time.monotonic() + float(os.environ.get("GLOUTO_E2E_BUDGET", "130"))
def check(condition, message):
    if not condition: raise AssertionError(message)  # noqa: E701

def wait_until(what, probe):  # probe() gives something true, or (value, what it saw)
    while not (result := (lambda r: r if isinstance(r, tuple) else (r, None))(probe()))[0]:
        check(time.monotonic() < DEADLINE, f"timed out waiting for {what}" + (f"; saw {result[1]!r}" if result[1] else ""))
        time.sleep(0.05)
    return result[0]

def x_key(display, key):  # a key down and up in one request (no key repeat)
    x11, xtst, p = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6"), ctypes.c_void_p
    x11.XOpenDisplay.restype = x11.XStringToKeysym.restype = p
    x11.XOpenDisplay.argtypes, x11.XKeysymToKeycode.argtypes = [ctypes.c_char_p], [p, ctypes.c_ulong]
    x11.XFlush.argtypes, xtst.XTestFakeKeyEvent.argtypes = [p], [p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    connection = x11.XOpenDisplay(display.encode())
    check(code := x11.XKeysymToKeycode(connection, x11.XStringToKeysym(key.encode()) or 0), f"no key {key}")
    [xtst.XTestFakeKeyEvent(connection, code, down, 0) for down in (1, 0)]
    x11.XFlush(connection)

def read(name):  # the steps of a file, as (place, words); "a ; b" are two steps
    with open(os.path.join(HERE, "..", "scenarios", name), encoding="latin-1") as f:
        for number, line in enumerate(f, 1):
            words = [w.encode("latin-1").decode("unicode_escape") for w in shlex.split(line, comments=True)]
            while words and words[0] != "web:":
                step = words[:words.index(";")] if ";" in words else words
                yield f"{name}:{number}", step[1:] if step[0] == "desktop:" else step
                words = words[len(step) + 1:]

class Player:  # plays one program at a time; with --zoom N, screenshots are shrunk to the program's pixels
    def __init__(self, args):
        self.args, self.defs, self.place, self.keep = args, {}, "the start", False
        self.process = self.xserver = self.workdir = None
        geometry = [words for _, words in read("geometry.txt")]
        self.boxes = {name: rest for kind, name, *rest in geometry if kind == "box"}
        self.texts = {name: rest[0] for kind, name, *rest in geometry if kind == "text"}
        self.looks = {name: (eval(f"lambda r, g, b: {test}"), float(least)) for kind, name, test, least, *_ in
                      (g + [0] for g in geometry) if kind == "look"}
    def play(self, lines, within=""):
        lines = iter(lines)
        for place, (command, *words) in lines:
            self.place = place + within
            if command == "def":
                self.defs[words[0]] = list(itertools.takewhile(lambda line: line[1] != ["end"], lines))
            else:
                check(command in STEPS, f"no such step {command!r}")
                STEPS[command](self, *words)
    def open(self, program, *args):  # in an X server and a folder of its own (after "keep", the one before)
        self.finish()
        self.args_, self.shots, self.seen, self.name = [str(a) for a in args], 0, 0, program
        self.zoom = int(args[args.index("--zoom") + 1]) if "--zoom" in args else 1
        if not self.workdir:  # glouto/ of XDG_DATA_HOME, as the launchers make the player's, holding the assets
            self.workdir = os.path.join(tempfile.mkdtemp(prefix="glouto-e2e-"), "glouto")
            os.mkdir(self.workdir)
            for name in ("Images", "Police", "Musique", "Readme.html"):
                os.symlink(os.path.join(self.args.assets, name), os.path.join(self.workdir, name))
            os.mkdir(os.path.join(self.workdir, "Niveaux"))
        os.makedirs(self.args.artifacts, exist_ok=True)
        self.opened_log, self.sound_file = (os.path.join(self.workdir, f) for f in ("opened.txt", "sound.raw"))
        read_end, write_end = os.pipe()  # Xvfb writes its display number there once it listens
        self.xserver = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{1280 * self.zoom}x"
                                         f"{1024 * self.zoom}x24", "-nolisten", "tcp", "-noreset"],
                                        pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            self.display = ":" + pipe.readline().decode().strip()
        check(self.display != ":", "Xvfb did not start")
        # With no window manager sdl12-compat centres the window, and a wide one would reach past the screen's edge.
        # The disk driver writes the mixed sound, its pause per buffer keeping the file near real time.
        self.env = dict(os.environ, DISPLAY=self.display, GLOUTO_OPENED_LOG=self.opened_log, SDL_VIDEO_WINDOW_POS="0,0",
                        PATH=os.path.join(HERE, "fake_desktop") + os.pathsep + os.environ["PATH"], SDL_AUDIODRIVER="disk",
                        SDL_DISKAUDIOFILE=self.sound_file, SDL_DISKAUDIODELAY="20", XDG_DATA_HOME=os.path.dirname(self.workdir))
        self.env.pop("XAUTHORITY", None)
        self.log = open(os.path.join(self.args.artifacts, f"{program}-output.txt"), "ab")
        self.process = subprocess.Popen([getattr(self.args, program), *self.args_], cwd=self.workdir, env=self.env,
                                        stdout=self.log, stderr=subprocess.STDOUT)
    def finish(self, last=False):
        if self.process:
            self.process.poll() is None and (self.process.kill(), self.process.wait())
            self.log.close()
        if self.xserver:  # also when the program never started
            self.xserver.terminate(), self.xserver.wait()
        if self.workdir and (last or not self.keep):
            shutil.rmtree(os.path.dirname(self.workdir), ignore_errors=True)
            self.workdir = None
        self.process = self.xserver = None
    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True).stdout
    def find_window(self):  # or None: a new game makes a new one
        return ([None] + self.xdotool("search", "--onlyvisible", "--classname", f"^{self.name}$").split())[-1]
    def window(self):
        return wait_until(f"a window of {self.name}", self.find_window)
    def caption_now(self):
        return (window := self.find_window()) and self.xdotool("getwindowname", window).strip()
    def size_now(self):
        values = dict(line.split("=", 1) for line in self.xdotool("getwindowgeometry", "--shell", self.find_window() or "")
                      .splitlines() if "=" in line)
        return (int(values["WIDTH"]) // self.zoom, int(values["HEIGHT"]) // self.zoom) if "WIDTH" in values else None
    def screenshot(self):  # each kept among the artifacts
        self.shots += 1
        path = os.path.join(self.args.artifacts, f"{self.name}-{self.shots:03d}.png")
        run = subprocess.run(["import", "-window", self.window(), f"png:{path}"], env=self.env, capture_output=True, text=True)
        check(run.returncode == 0, f"screenshot failed: {run.stderr.strip()}")
        with Image.open(path) as image:
            image = image.convert("RGB")
        small = image.resize((image.width // self.zoom, image.height // self.zoom), Image.NEAREST)
        blocks = changed_box(image, small.resize(image.size, Image.NEAREST))
        check(blocks is None, f"the zoomed window is not made of {self.zoom}x{self.zoom} blocks within {blocks}")
        return small
    def sound(self, start=0):
        with open(self.sound_file if os.path.exists(self.sound_file) else os.devnull, "rb") as f:
            return f.seek(start) and f.read() or f.read()
    def boxes_of(self, words):  # named boxes, or x y: the 25-pixel cell at that corner
        width = (self.size_now() or (600,))[0]
        while words:
            named = self.boxes.get(words[0])
            yield [width // 2 + int(v[1:]) if v[0] == "c" else int(v) for v in named] if named else \
                [int(words[0]), int(words[1]), 25, 25]
            words = words[1 if named else 2:]
    def case(self, where, how, then):  # a row of a table, in a run of its own
        self.finish()
        self.case_ = f" (case {where} {how} {then})"
        self.play(self.defs[where] + [(self.place, [how] if how == "close" else ["key", how])] + self.defs[then])
    def see(self, *words):
        (test, least), names = self.looks[words[-1]], words[:-1]
        for n in range(len(list(self.boxes_of(names)))):
            def looks():  # a box placed by the window now
                x, y, w, h = list(self.boxes_of(names))[n]
                pixels = list(self.screenshot().crop((x, y, x + w, y + h)).getdata())
                share = sum(test(*p) for p in pixels) / len(pixels)
                return share >= least if least > 0 else share <= -least, f"{share:.0%}"
            wait_until(f"{words[-1]} at {words[:-1]} box {n + 1}", looks)
    def point(self, *words, button=()):
        x, y, w, h = next(self.boxes_of(words))
        self.xdotool("mousemove", "--window", self.window(), (x + w // 2) * self.zoom, (y + h // 2) * self.zoom, *button)
    def changed(self, *words):
        x, y, w, h = next(self.boxes_of(words))
        crop = lambda image: image.crop((x, y, x + w, y + h))
        wait_until(f"{words} changed", lambda: (changed_box(crop(self.marked), crop(self.screenshot())), None))
    def exits(self):  # cleanly, showing no end screen or new game on its way
        first, shown = self.caption_now(), []
        wait_until("the end", lambda: (shown.append(self.caption_now()) or self.process.poll() is not None, shown[-1]))
        check(self.process.wait() == 0, f"exit status {self.process.returncode}")
        check(not {self.texts[t] for t in ENDINGS} - {first} & set(shown), f"it showed {shown} on its way out")
    def opened(self, where):  # the next thing the program asked the desktop to open
        real = lambda w: w if "://" in w else os.path.realpath(os.path.join(self.workdir, w))
        asked = lambda: [line[3:-1] if line.startswith("1 [") else line for line in open(self.opened_log).read()
                         .splitlines()] if os.path.exists(self.opened_log) else []  # "1 [...]": one argument
        self.seen += 1
        wait_until(f"{where} asked of the desktop", lambda: ([real(o) for o in asked()[:self.seen]][-1:] == [real(where)],
                                                             asked()))
    def music(self, how):  # on or next (the sound does not tell which track), or off: a third of a second of silence
        mark = len(self.sound())
        pieces = lambda: [self.sound(mark)[k:k + 4096] for k in range(0, len(self.sound(mark)) - 4095, 4096)]
        wait_until(f"the music {how}", lambda: len(pieces()) > 16 and max(map(words_in, pieces()[-16:])) == 1
                   if how == "off" else any(words_in(p) > 32 for p in pieces()))
    def file(self, name, data, write=False):
        path, data = os.path.join(self.workdir, "Niveaux", name), data.encode("latin-1")
        write and open(path, "wb").write(data)
        wait_until(f"{name} holding {data!r}", lambda: (os.path.exists(path) and open(path, "rb").read() == data,
                                                        os.listdir(os.path.dirname(path))))
    def command(self, name, *args):  # a command installed beside the game, run in the program's folder
        run = subprocess.run([os.path.join(os.path.dirname(self.args.game), name), *args], cwd=self.workdir, env=self.env,
                             capture_output=True, text=True)
        check(run.returncode == 0, f"{name} {' '.join(args)}: status {run.returncode}: {run.stderr.strip()}")
    def seeded(self):  # every shipped level copied into the program's folder
        read = lambda *path: open(os.path.join(*path), "rb").read() if os.path.exists(os.path.join(*path)) else None
        levels = [f for f in os.listdir(os.path.join(self.args.assets, "Niveaux")) if f[7:8].isdigit()]
        check(levels and all(read(self.args.assets, "Niveaux", f) == read(self.workdir, "Niveaux", f) for f in levels),
              f"not every shipped level is the program's: {os.listdir(os.path.join(self.workdir, 'Niveaux'))}")
    def still(self):  # nothing changes while the program writes a second of sound, four of the game's ticks
        wait_until("a second of sound", lambda: len(self.sound(self.sound_mark)) >= SECOND)
        check(changed_box(self.marked, self.screenshot()) is None, "the screen changed")

# Each step: (player, *words).
STEPS = {name: getattr(Player, name) for name in ("open", "case", "see", "point", "changed", "exits",
                                                   "opened", "music", "file", "still", "command", "seeded")}
STEPS.update({
    "key": lambda p, name: x_key(p.display, name), "close": lambda p: close_window(p.display, int(p.window())),
    "run": lambda p, name: p.play(p.defs[name], f" from {p.place}"),
    "caption": lambda p, *words: wait_until(f"the caption {words}", lambda: (
        p.caption_now() in [p.texts.get(w, w) for w in words], p.caption_now())),
    "size": lambda p, *words: wait_until(f"a {words} window", lambda: (p.size_now() == tuple(map(int, words)), p.size_now())),
    "click": lambda p, *words: p.point(*words, button=("click", 1)),
    "mark": lambda p: setattr(p, "marked", p.screenshot()) or setattr(p, "sound_mark", len(p.sound())),
    "level": lambda p, name, data: p.file(name, data, True),
    "keep": lambda p: setattr(p, "keep", True),
    "only": lambda p, *names: check(os.listdir(os.path.join(p.workdir, "Niveaux")) == list(names), "another file was written"),
})

def main():
    parser = argparse.ArgumentParser()
    for option in ("name", "--assets", "--artifacts", "--game", "--editor"): parser.add_argument(option)  # noqa: E701
    player = Player(args := parser.parse_args())
    shutil.rmtree(args.artifacts, ignore_errors=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside (the test's time limit?)"))
    try:
        player.play(itertools.chain(read("steps.txt"), read(args.name + ".txt")))
    except Exception as error:  # a failed check, or the harness itself
        print(f"FAIL {args.name} at {player.place}{getattr(player, 'case_', '')}: {error}\n"
              f"  caption then: {player.process and player.caption_now()!r}; kept in {args.artifacts}")
        if isinstance(error, AssertionError): return 1  # noqa: E701
        raise
    finally:
        player.finish(last=True)
    shutil.rmtree(args.artifacts, ignore_errors=True)
    print(f"PASS {args.name}")
    return 0

if __name__ == "__main__":
    sys.exit(main())
