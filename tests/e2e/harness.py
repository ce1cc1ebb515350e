"""Drives a real program in a private X server as a person would.

One Session is one run of `game` or `editor`: its own Xvfb, its own working
folder (the shipped assets linked in, its own Niveaux/), a stand-in desktop
that records what the program asks to open, and optionally a file that
receives everything the program plays. Input goes through the X server's
test extension (xdotool), so the program sees real presses, releases and
motion; what it shows is read back as the X server holds it.
"""

import ctypes
import os
import shutil
import subprocess
import tempfile
import time

from PIL import Image, ImageChops, ImageDraw, ImageFont, ImageStat

HERE = os.path.dirname(os.path.abspath(__file__))


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def slowed(seconds):
    """GLOUTO_E2E_SLOW=N waits N times longer, for a program under valgrind."""
    return seconds * float(os.environ.get("GLOUTO_E2E_SLOW", "1"))


def wait_until(what, probe, timeout=10.0, interval=0.05):
    """Polls probe() until it returns something true; returns that.

    probe may return (value, observed) to say what it saw, which the failure
    message then names."""
    timeout = slowed(timeout)
    deadline = time.monotonic() + timeout
    observed = None
    while True:
        result = probe()
        if isinstance(result, tuple):
            result, observed = result
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:g}s waiting for {what}"
                          + (f"; last seen: {observed!r}" if observed is not None else ""))
        time.sleep(interval)


# --- The X server -----------------------------------------------------------

class XServer:
    """A private Xvfb on the first free display number (it picks it itself),
    its screen `scale` times 1280 x 1024 so that zoomed windows fit."""

    def __init__(self, scale=1):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{1280 * scale}x{1024 * scale}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        with os.fdopen(read_end, "rb") as pipe:
            while not number.endswith(b"\n"):
                chunk = pipe.read(1)
                if not chunk:
                    break
                number += chunk
        check(number.strip(), "Xvfb did not start")
        self.display = ":" + number.decode().strip()

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


# --- WM_DELETE_WINDOW, as a window manager's close button sends it ------------

class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def tap_key(display, name):
    """Presses and releases a key in one request to the X server. Under load a
    pause between two xdotool steps could otherwise reach a program as the key
    held, and its key repeat (5 ms) would press it again. False when the key
    has no code in the server's keymap."""
    x11, xtst = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XStringToKeysym.restype = ctypes.c_ulong
    x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
    x11.XKeysymToKeycode.restype = ctypes.c_ubyte
    x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = x11.XOpenDisplay(display.encode())
    check(connection, f"cannot open display {display}")
    code = x11.XKeysymToKeycode(connection, x11.XStringToKeysym(name.encode()))
    if code:
        xtst.XTestFakeKeyEvent(connection, code, 1, 0)
        xtst.XTestFakeKeyEvent(connection, code, 0, 0)
        x11.XFlush(connection)
    x11.XCloseDisplay(connection)
    return code != 0


def send_delete_window(display, window):
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                               ctypes.c_long, ctypes.POINTER(_XEvent)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = x11.XOpenDisplay(display.encode())
    check(connection, f"cannot open display {display}")
    event = _XEvent()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = x11.XInternAtom(connection, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x11.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
    event.xclient.data[1] = 0  # CurrentTime
    x11.XSendEvent(connection, window, 0, 0, ctypes.byref(event))
    x11.XFlush(connection)
    x11.XCloseDisplay(connection)


# --- Pictures ---------------------------------------------------------------

def box(x, y, w, h):
    """A rectangle as PIL wants it: left, top, right, bottom (exclusive)."""
    return (x, y, x + w, y + h)


def middle(rect):
    left, top, right, bottom = rect
    return (left + right) // 2, (top + bottom) // 2


def share_of_colour(image, rect, rgb, tolerance=2):
    """Fraction of the pixels of rect that have the colour rgb."""
    pixels = list(image.crop(rect).convert("RGB").getdata())
    hits = sum(1 for p in pixels if all(abs(a - b) <= tolerance for a, b in zip(p, rgb)))
    return hits / len(pixels)


def share_of_grey(image, rect, grey):
    return share_of_colour(image, rect, (grey, grey, grey))


def unlit(image, plate):
    """A button plate at rest is mid-grey (150) wherever its label leaves it bare."""
    return share_of_grey(image, plate, 150) > 0.5


def lit(image, plate):
    """Lit, a plate is painted 255 like the page: no mid-grey is left."""
    return share_of_grey(image, plate, 150) < 0.02 and share_of_grey(image, plate, 255) > 0.4


def dark_pixels(image, rect, below=100):
    return sum(1 for p in image.crop(rect).convert("RGB").getdata() if max(p) < below)


def changed_box(before, after, ignore=()):
    """Bounding box of the pixels that differ, leaving out the ignored rects."""
    a, b = before.convert("RGB"), after.convert("RGB")
    for rect in ignore:
        a.paste((0, 0, 0), rect)
        b.paste((0, 0, 0), rect)
    return ImageChops.difference(a, b).getbbox()


def differs(before, after, rect):
    return changed_box(before.crop(rect), after.crop(rect)) is not None


def asset_picture(session, name):
    with Image.open(os.path.join(session.workdir, "Images", name)) as picture:
        picture.load()
        return picture


def picture_match(screen, position, picture, white_is_clear=False, under=(255, 255, 255),
                  tolerance=12):
    """Fraction of a picture's pixels that the screen shows at position.

    With white_is_clear the picture's white pixels are not compared (the game
    draws its sprites with white as the transparent colour). A picture with an
    alpha channel is compared as blended onto the colour under."""
    if picture.mode in ("RGBA", "LA", "P"):
        picture = picture.convert("RGBA")
        flat = Image.new("RGBA", picture.size, under + (255,))
        picture = Image.alpha_composite(flat, picture)
    picture = picture.convert("RGB")
    x, y = position
    picture = picture.crop((0, 0, min(picture.width, screen.width - x),
                            min(picture.height, screen.height - y)))
    shown = screen.convert("RGB").crop(box(x, y, picture.width, picture.height))
    compared = hits = 0
    for p, s in zip(picture.getdata(), shown.getdata()):
        if white_is_clear and p == (255, 255, 255):
            continue
        compared += 1
        hits += all(abs(a - b) <= tolerance for a, b in zip(p, s))
    return hits / compared if compared else 1.0


def text_difference(screen, position, text, font_path, size=25, ink=255, paper=0, width=None,
                    slack=2):
    """How far the screen at position is from text drawn there in the given
    font: the mean grey difference over width pixels (the text's own width by
    default), 0 for a perfect match, around 40 for another text. Renderers
    hint a little differently, so the best placement within slack pixels
    counts."""
    font = ImageFont.truetype(font_path, size)
    ascent, descent = font.getmetrics()
    drawn = Image.new("L", (width or int(font.getlength(text)) + 2, ascent + descent), paper)
    ImageDraw.Draw(drawn).text((0, 0), text, font=font, fill=ink)
    grey = screen.convert("L")
    x, y = position
    return min(ImageStat.Stat(ImageChops.difference(
                   grey.crop((x + dx, y + dy, x + dx + drawn.width, y + dy + drawn.height)), drawn)).mean[0]
               for dx in range(-slack, slack + 1) for dy in range(-slack, slack + 1))


def closest_text(screen, position, candidates, font_path, **colours):
    """Which of the candidate texts the screen shows at position, each
    compared over the width of the longest, so that a prefix does not win."""
    font = ImageFont.truetype(font_path, colours.get("size", 25))
    width = max(int(font.getlength(text)) for text in candidates) + 2
    return min(candidates,
               key=lambda text: text_difference(screen, position, text, font_path, width=width, **colours))


# --- Sound written by SDL's disk audio driver ----------------------------------

def is_silent(samples):
    """Silence is one repeated 16-bit word (0 for signed, 0x8000 or 0x8080
    for unsigned formats); music has many."""
    words = {samples[i:i + 2] for i in range(0, len(samples) - 1, 2)}
    return len(words) <= 1


def is_sounding(samples):
    words = {samples[i:i + 2] for i in range(0, len(samples) - 1, 2)}
    return len(words) > 32


# --- One run of a program ---------------------------------------------------------

def make_workdir(assets, levels=None):
    """A working folder like the shipped one: the pictures, font and music
    linked in, its own copy of Readme.html and its own Niveaux/ holding only
    the given level files ({file name: bytes})."""
    workdir = tempfile.mkdtemp(prefix="glouto-e2e-")
    for folder in ("Images", "Police", "Musique"):
        os.symlink(os.path.join(assets, folder), os.path.join(workdir, folder))
    readme = os.path.join(assets, "Readme.html")
    if os.path.exists(readme):
        shutil.copy(readme, workdir)
    os.mkdir(os.path.join(workdir, "Niveaux"))
    for file_name, data in (levels or {}).items():
        with open(os.path.join(workdir, "Niveaux", file_name), "wb") as f:
            f.write(data)
    return workdir


class Session:
    """With "--zoom N" in args, coordinates and sizes stay in the program's
    pixels: each screenshot must be N x N blocks and is shrunk; size() alone is the screen's."""

    def __init__(self, program, workdir, artifacts, record_sound=False, args=(), env=None,
                 window_class=None):
        """args and env go to the program; a launcher names the program whose
        window it opens in window_class."""
        self.program = program
        self.args = [str(a) for a in args]
        self.zoom = int(self.args[self.args.index("--zoom") + 1]) if "--zoom" in self.args else 1
        self.name = window_class or os.path.basename(program)
        self.workdir = workdir
        self.artifacts = artifacts
        self.shots = []
        self.exit_code = None
        os.makedirs(artifacts, exist_ok=True)
        self.opened_log = os.path.join(self.workdir, "opened-by-desktop.txt")
        self.sound_file = os.path.join(self.workdir, "sound.raw") if record_sound else None

        self.xserver = XServer(self.zoom)
        self.env = dict(os.environ, DISPLAY=self.xserver.display,
                        PATH=os.path.join(HERE, "fake_desktop") + os.pathsep + os.environ["PATH"],
                        GLOUTO_OPENED_LOG=self.opened_log,
                        # With no window manager sdl12-compat centres the window,
                        # and a wide one would reach past the screen's edge.
                        SDL_VIDEO_WINDOW_POS="0,0")
        self.env.pop("XAUTHORITY", None)
        if record_sound:
            # The disk driver writes the mixed output; its pause per buffer
            # keeps the file near real time.
            self.env.update(SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=self.sound_file,
                            SDL_DISKAUDIODELAY="20")
        else:
            self.env["SDL_AUDIODRIVER"] = "dummy"
        self.env.update(env or {})
        self.log = open(os.path.join(artifacts, f"{self.name}-output.txt"), "ab")
        self.process = subprocess.Popen([program, *self.args], cwd=self.workdir, env=self.env,
                                        stdout=self.log, stderr=subprocess.STDOUT)

    def level_file(self, file_name):
        return os.path.join(self.workdir, "Niveaux", file_name)

    def finish(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.xserver.stop()
        self.log.close()

    # -- what the X server knows about the window

    def _xdotool(self, *args, ok_to_fail=False):
        run = subprocess.run(["xdotool", *map(str, args)], env=self.env,
                             capture_output=True, text=True)
        if run.returncode != 0 and not ok_to_fail:
            raise Failure(f"xdotool {' '.join(map(str, args))}: {run.stderr.strip()}")
        return run.stdout.strip()

    def find_window(self):
        """The program's top-level window, or None (a new game makes a new one)."""
        found = self._xdotool("search", "--onlyvisible", "--classname", f"^{self.name}$",
                              ok_to_fail=True).split()
        return int(found[-1]) if found else None

    def window(self):
        return wait_until(f"a window of {self.name}", self.find_window, timeout=15)

    def caption(self):
        window = self.find_window()
        return self._xdotool("getwindowname", window, ok_to_fail=True) if window else None

    def size(self):
        window = self.find_window()
        if not window:
            return None
        out = self._xdotool("getwindowgeometry", "--shell", window, ok_to_fail=True)
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        if "WIDTH" not in values:
            return None
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def wait_caption(self, expected, timeout=10):
        wait_until(f"caption {expected!r}", lambda: (self.caption() == expected, self.caption()),
                   timeout)

    def wait_size(self, width, height, timeout=10):
        width, height = width * self.zoom, height * self.zoom
        wait_until(f"window {width}x{height}", lambda: (self.size() == (width, height), self.size()),
                   timeout)

    def screenshot(self, label):
        """The window as shown now; every picture is kept among the artifacts."""
        path = os.path.join(self.artifacts, f"{self.name}-{len(self.shots):03d}-{label}.png")
        window = self.window()
        run = subprocess.run(["import", "-window", str(window), f"png:{path}"],
                             env=self.env, capture_output=True, text=True)
        check(run.returncode == 0, f"screenshot failed: {run.stderr.strip()}")
        self.shots.append(path)
        with Image.open(path) as image:
            return self._unzoomed(image.convert("RGB"))

    def _unzoomed(self, image):
        if self.zoom == 1:
            return image
        small = image.resize((image.width // self.zoom, image.height // self.zoom), Image.NEAREST)
        blocks = changed_box(image, small.resize(image.size, Image.NEAREST))
        check(blocks is None, f"the zoomed window is not made of {self.zoom}x{self.zoom} blocks "
              f"within {blocks}")
        return small

    def wait_picture(self, what, test, label, timeout=10):
        """Takes screenshots until test(image) holds; returns that image."""
        def probe():
            image = self.screenshot(label)
            return (image if test(image) else None), None
        return wait_until(what, probe, timeout, interval=0.15)

    # -- input

    def point_at(self, x, y):
        """Moves the pointer into the window; keys then go to the window too."""
        self._xdotool("mousemove", "--window", self.window(), x * self.zoom, y * self.zoom)

    def press(self, x, y, button=1):
        self.point_at(x, y)
        self._xdotool("mousedown", button)

    def release(self, x, y, button=1):
        self.point_at(x, y)
        self._xdotool("mouseup", button)

    def click(self, x, y, button=1):
        self.press(x, y, button)
        self._xdotool("mouseup", button)

    def key(self, name):
        """One press and release with nothing between, so that the program's
        own key repeat never sees the key held."""
        if not tap_key(self.xserver.display, name):
            self._xdotool("keydown", name, "keyup", name)

    def close_window(self):
        send_delete_window(self.xserver.display, self.window())

    # -- outcomes

    def wait_exit(self, timeout=10):
        timeout = slowed(timeout)
        try:
            self.exit_code = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"{self.name} still runs {timeout:g}s later (caption {self.caption()!r})")
        return self.exit_code

    def running(self):
        return self.process.poll() is None

    def opened(self):
        """What the program asked the desktop to open, in order."""
        if not os.path.exists(self.opened_log):
            return []
        with open(self.opened_log) as f:
            return f.read().splitlines()

    def sound_written(self):
        """Bytes of sound written so far."""
        return os.path.getsize(self.sound_file) if os.path.exists(self.sound_file) else 0

    def sound_between(self, start, end):
        with open(self.sound_file, "rb") as f:
            f.seek(start)
            return f.read(end - start)
