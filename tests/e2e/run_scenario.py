"""Plays tests/scenarios/NAME.txt on the desktop as tests/web/harness.js plays it in the browser: the program in a
private Xvfb and folder, a stand-in desktop recording what it opens, its sound in a file, keys through XTest.
    run_scenario.py NAME --assets DIR --artifacts DIR [--game PATH] [--editor PATH] [--packaging DIR]"""
import argparse, ctypes, itertools, os, shlex, shutil, signal, subprocess, sys, tempfile, time
from PIL import Image, ImageChops

HERE = os.path.dirname(os.path.abspath(__file__))
ENDINGS = ("WELCOME", "WON", "LOST", "CREDITS")  # what a program leaving at once never shows
SECOND = 44100 * 4  # of sound, as the disk driver writes it
changed_box = lambda before, after: ImageChops.difference(before, after).getbbox()
words_in = lambda samples: len({samples[i:i + 2] for i in range(0, len(samples) - 1, 2)})  # silence has one
# Every wait may take the rest of the test's own time: load or valgrind only make a run slower.
DEADLINE = time.monotonic() + float(os.environ.get("GLOUTO_E2E_BUDGET", "130"))

class Failure(AssertionError):
    pass

def check(condition, message):
    if not condition:
        raise Failure(message)

def wait_until(what, probe):  # probe() gives something true, or (value, what it saw)
    while not (result := (lambda r: r if isinstance(r, tuple) else (r, None))(probe()))[0]:
        check(time.monotonic() < DEADLINE, f"timed out waiting for {what}" + (f"; saw {result[1]!r}" if result[1] else ""))
        time.sleep(0.05)
    return result[0]

def x_send(display, key=None, close=None):
    """A key pressed and released in one request (else the program's key repeat could press it again), or the
    close button's WM_DELETE_WINDOW sent to the window `close`."""
    x11, xtst, p = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6"), ctypes.c_void_p
    x11.XOpenDisplay.restype = x11.XStringToKeysym.restype = x11.XInternAtom.restype = p
    x11.XOpenDisplay.argtypes, x11.XKeysymToKeycode.argtypes = [ctypes.c_char_p], [p, ctypes.c_ulong]
    x11.XInternAtom.argtypes, x11.XFlush.argtypes = [p, ctypes.c_char_p, ctypes.c_int], [p]
    x11.XSendEvent.argtypes = [p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, p]
    xtst.XTestFakeKeyEvent.argtypes = [p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    connection = x11.XOpenDisplay(display.encode())
    if key:
        check(code := x11.XKeysymToKeycode(connection, x11.XStringToKeysym(key.encode()) or 0), f"no key {key}")
        [xtst.XTestFakeKeyEvent(connection, code, down, 0) for down in (1, 0)]
    else:
        atom = lambda name: x11.XInternAtom(connection, name, 0)
        x11.XSendEvent(connection, close, 0, 0, (ctypes.c_long * 24)(33, 0, 0, 0, close, atom(b"WM_PROTOCOLS"), 32,
                                                                     atom(b"WM_DELETE_WINDOW")))
    x11.XFlush(connection)

def differs(actual, approved):  # as tests/support/approved.cpp judges: a pixel on a colour edge may be off by 8
    if actual.size != approved.size:
        return f"the approved picture is {approved.size}, the window {actual.size}"
    (w, h), a, b = actual.size, actual.load(), approved.load()
    bad = [(x, y) for y in range(h) for x in range(w) if a[x, y] != b[x, y] and (
        max(abs(i - j) for i, j in zip(a[x, y], b[x, y])) > 8 or all(
            b[nx, ny] == b[x, y] for nx in range(max(0, x - 1), min(w, x + 2)) for ny in range(max(0, y - 1), min(h, y + 2))))]
    return bad and f"{len(bad)} pixels differ, the first at {bad[0]}"

def read(name):  # the steps of a file, as (place, words); "a ; b" are two steps
    with open(os.path.join(HERE, "..", "scenarios", name), encoding="latin-1") as f:
        for number, line in enumerate(f, 1):
            words = [w.encode("latin-1").decode("unicode_escape") for w in shlex.split(line, comments=True)]
            while words and words[0] != "web:":
                step = words[:words.index(";")] if ";" in words else words
                yield f"{name}:{number}", step[1:] if step[0] == "desktop:" else step
                words = words[len(step) + 1:]

class Session:  # one run of a program; with --zoom N, screenshots are shrunk to the program's pixels
    def __init__(self, program, assets, artifacts, args=(), workdir=None, env=None, name=None):
        self.args = [str(a) for a in args]
        self.zoom = int(self.args[self.args.index("--zoom") + 1]) if "--zoom" in self.args else 1
        self.name, self.artifacts, self.shots = name or os.path.basename(program), artifacts, 0
        self.workdir = workdir or tempfile.mkdtemp(prefix="glouto-e2e-")
        if not workdir:
            for folder in ("Images", "Police", "Musique"):
                os.symlink(os.path.join(assets, folder), os.path.join(self.workdir, folder))
            shutil.copy(os.path.join(assets, "Readme.html"), self.workdir)
            os.mkdir(os.path.join(self.workdir, "Niveaux"))
        os.makedirs(artifacts, exist_ok=True)
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
                        SDL_DISKAUDIOFILE=self.sound_file, SDL_DISKAUDIODELAY="20", **(env or {}))
        self.env.pop("XAUTHORITY", None)
        self.log = open(os.path.join(artifacts, f"{self.name}-output.txt"), "ab")
        self.process = subprocess.Popen([program, *self.args], cwd=self.workdir, env=self.env, stdout=self.log,
                                        stderr=subprocess.STDOUT)
    def finish(self):
        self.process.poll() is None and (self.process.kill(), self.process.wait())
        self.xserver.terminate(), self.xserver.wait(), self.log.close()
        shutil.rmtree(self.workdir, ignore_errors=True)
    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True).stdout
    def find_window(self):  # or None: a new game makes a new one
        return ([None] + self.xdotool("search", "--onlyvisible", "--classname", f"^{self.name}$").split())[-1]
    def window(self):
        return wait_until(f"a window of {self.name}", self.find_window)
    def caption(self):
        return (window := self.find_window()) and self.xdotool("getwindowname", window).strip()
    def size(self):
        values = dict(line.split("=", 1) for line in self.xdotool("getwindowgeometry", "--shell", self.find_window() or "")
                      .splitlines() if "=" in line)
        return (int(values["WIDTH"]) // self.zoom, int(values["HEIGHT"]) // self.zoom) if "WIDTH" in values else None
    def screenshot(self):  # each kept among the artifacts
        self.shots += 1
        path = os.path.join(self.artifacts, f"{self.name}-{self.shots:03d}.png")
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

class Player:
    def __init__(self, args):
        self.args, self.session, self.sessions, self.defs, self.seen, self.root = args, None, [], {}, 0, None
        self.boxes = {name: rest for _, (kind, name, *rest) in read("geometry.txt") if kind == "box"}
        self.texts = {name: rest[0] for _, (kind, name, *rest) in read("geometry.txt") if kind == "text"}
        self.looks = {name: (eval(f"lambda r, g, b: {test}"), float(least)) for _, (kind, name, *rest) in
                      read("geometry.txt") if kind == "look" for test, least in [rest]}
    def play(self, lines, within=""):
        lines = iter(lines)
        for place, (command, *words) in lines:
            self.place = place + within
            if command == "def":
                self.defs[words[0]] = list(itertools.takewhile(lambda line: line[1] != ["end"], lines))
            else:
                check(command in STEPS, f"no such step {command!r}")
                STEPS[command](self, self.session, *words)
    def boxes_of(self, words):  # named boxes, or x y: the 25-pixel cell at that corner
        width = (self.session.size() or (600,))[0]
        while words:
            named = self.boxes.get(words[0])
            yield [width // 2 + int(v[1:]) if v[0] == "c" else int(v) for v in named] if named else \
                [int(words[0]), int(words[1]), 25, 25]
            words = words[1 if named else 2:]
    def start(self, program, args, **launch):
        self.session, self.seen = Session(program, self.args.assets, self.args.artifacts, args, **launch), 0
        self.sessions.append(self.session)
    def finish(self):
        [session.finish() for session in self.sessions]
        self.sessions = []
        shutil.rmtree(self.root or "/nonexistent", ignore_errors=True)
    def case(self, s, where, how, then):  # a row of a table, in a run of its own
        self.finish()
        self.case_ = f" (case {where} {how} {then})"
        self.play(self.defs[where])
        STEPS[how if how == "close" else "key"](self, self.session, *([] if how == "close" else [how]))
        self.play(self.defs[then])
    def see(self, s, *words):
        (test, least), names = self.looks[words[-1]], words[:-1]
        for n in range(len(list(self.boxes_of(names)))):
            def looks():  # a box placed by the window now
                x, y, w, h = list(self.boxes_of(names))[n]
                pixels = list(s.screenshot().crop((x, y, x + w, y + h)).getdata())
                share = sum(test(*p) for p in pixels) / len(pixels)
                return share >= least if least > 0 else share <= -least, f"{share:.0%}"
            wait_until(f"{words[-1]} at {words[:-1]} box {n + 1}", looks)
    def approved(self, s, name):
        with Image.open(os.path.join(HERE, "..", "approved", name + ".png")) as image:
            approved = image.convert("RGB")
        wait_until(f"the approved picture {name}", lambda: (not differs(shot := s.screenshot(), approved),
                                                            f"{differs(shot, approved)} (shot {s.shots})"))
    def point(self, s, words, *button):
        x, y, w, h = next(self.boxes_of(words))
        s.xdotool("mousemove", "--window", s.window(), (x + w // 2) * s.zoom, (y + h // 2) * s.zoom, *button)
    def changed(self, s, *words):
        x, y, w, h = next(self.boxes_of(words))
        crop = lambda image: image.crop((x, y, x + w, y + h))
        wait_until(f"{words} changed", lambda: (changed_box(crop(self.marked), crop(s.screenshot())), None))
    def exits(self, s):  # cleanly, showing no end screen or new game on its way
        first, shown = s.caption(), []
        wait_until("the end", lambda: (shown.append(s.caption()) or s.process.poll() is not None, shown[-1]))
        check(s.process.wait() == 0, f"exit status {s.process.returncode}")
        check(not {self.texts[t] for t in ENDINGS} - {first} & set(shown), f"it showed {shown} on its way out")
    def opened(self, s, where):  # the next thing the program asked the desktop to open
        real = lambda w: w if "://" in w else os.path.realpath(os.path.join(s.workdir, w))
        asked = lambda: open(s.opened_log).read().splitlines() if os.path.exists(s.opened_log) else []
        self.seen += 1
        wait_until(f"{where} asked of the desktop", lambda: ([real(o) for o in asked()[:self.seen]][-1:] == [real(where)],
                                                             asked()))
    def music(self, s, how):  # on or next (the sound does not tell which track), or off: a third of a second of silence
        mark = len(s.sound())
        pieces = lambda: [s.sound(mark)[k:k + 4096] for k in range(0, len(s.sound(mark)) - 4095, 4096)]
        wait_until(f"the music {how}", lambda: len(pieces()) > 16 and max(map(words_in, pieces()[-16:])) == 1
                   if how == "off" else any(words_in(p) > 32 for p in pieces()))
    def file(self, s, name, data, write=False):
        path, data = os.path.join(s.workdir, "Niveaux", name), data.encode("latin-1")
        write and open(path, "wb").write(data)
        wait_until(f"{name} holding {data!r}", lambda: (os.path.exists(path) and open(path, "rb").read() == data,
                                                        os.listdir(os.path.dirname(path))))
    def motion(self, s, axis):
        """The only moving thing on the field goes along axis; a turn asked as it touched an edge is undone by the
        edge rule, so the key is asked again."""
        fields = []
        def moving():
            fields.append(s.screenshot().crop((0, 40, s.size()[0], 560)))
            if len(fields) % 8 == 0 and axis != "any":
                x_send(s.display, key=self.last_key)
            box = changed_box(fields[-2], fields[-1]) if len(fields) > 1 else None
            wide, tall = (box[2] - box[0], box[3] - box[1]) if box else (0, 0)
            seen = "vertical" if tall >= wide + 15 else "horizontal" if wide >= tall + 15 else None
            return seen == axis or (axis == "any" and seen), box
        wait_until(f"motion {axis}", moving)
    def launch(self, s, launcher, *args):  # as the package installs it, beside the programs and assets, a home beside
        if not self.root:
            root = self.root = tempfile.mkdtemp(prefix="glouto-installed-")
            for folder in ("usr/games", "usr/lib/games/glouto", "usr/share/games", "home/.local/share/glouto"):
                os.makedirs(os.path.join(root, folder))
            for name in ("glouto", "glouto-editeur", "glouto-niveau"):
                shutil.copy(os.path.join(self.args.packaging, name), os.path.join(root, "usr/games"))
            for program in ("game", "editor"):
                os.symlink(getattr(self.args, program), os.path.join(root, "usr/lib/games/glouto", program))
            os.symlink(self.args.assets, os.path.join(root, "usr/share/games/glouto"))
        self.start(os.path.join(self.root, "usr/games", launcher), args, env={"HOME": os.path.join(self.root, "home"),
                   "XDG_DATA_HOME": ""}, workdir=os.path.join(self.root, "home/.local/share/glouto"),
                   name="editor" if launcher.endswith("editeur") else "game")
    def still(self, s):  # nothing changes while the program writes a second of sound, four of the game's ticks
        wait_until("a second of sound", lambda: len(s.sound(self.sound_mark)) >= SECOND)
        check(changed_box(self.marked, s.screenshot()) is None, "the screen changed")
    def key(self, s, name):
        self.last_key = name
        x_send(s.display, key=name)

# Each step: (player, session, *words).
STEPS = {name: getattr(Player, name) for name in ("case", "see", "approved", "changed", "exits", "opened", "music",
                                                   "file", "motion", "launch", "still", "key")}
STEPS.update({
    "open": lambda p, s, program, *args: p.start(getattr(p.args, program), args),
    "run": lambda p, s, name: p.play(p.defs[name], f" from {p.place}"),
    "caption": lambda p, s, *words: wait_until(f"the caption {words}", lambda: (
        s.caption() in [p.texts.get(w, w) for w in words], s.caption())),
    "size": lambda p, s, *words: wait_until(f"a {words} window", lambda: (s.size() == tuple(map(int, words)), s.size())),
    "click": lambda p, s, *words: p.point(s, words, "click", 1), "point": lambda p, s, *words: p.point(s, words),
    "close": lambda p, s: x_send(s.display, close=int(s.window())),
    "mark": lambda p, s: setattr(p, "marked", s.screenshot()) or setattr(p, "sound_mark", len(s.sound())),
    "level": lambda p, s, name, data: p.file(s, name, data, True),
    "only": lambda p, s, *names: check(os.listdir(os.path.join(s.workdir, "Niveaux")) == list(names),
                                       "another file was written"),
})

def main():
    parser = argparse.ArgumentParser()
    for option in ("name", "--assets", "--artifacts", "--game", "--editor", "--packaging"):
        parser.add_argument(option)
    player = Player(args := parser.parse_args())
    shutil.rmtree(args.artifacts, ignore_errors=True)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("stopped from outside (the test's time limit?)"))
    try:
        player.play(itertools.chain(read("steps.txt"), read(args.name + ".txt")))
    except Exception as error:  # a failed check, or the harness itself
        print(f"FAIL {args.name} at {player.place}{getattr(player, 'case_', '')}: {error}")
        print(f"  caption then: {player.session and player.session.caption()!r}; kept in {args.artifacts}")
        if not isinstance(error, Failure):
            raise
        return 1
    finally:
        player.finish()
    shutil.rmtree(args.artifacts, ignore_errors=True)
    print(f"PASS {args.name}")
    return 0

if __name__ == "__main__":
    sys.exit(main())
