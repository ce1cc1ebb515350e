"""Drives a real program in a private X server as a person would.

One Session is one run of `game` or `editor`: its own Xvfb, its own working
folder (the shipped assets linked in, its own Niveaux/), a stand-in desktop
that records what the program asks to open, and a file that receives
everything the program plays. Input goes through the X server's test
extension, so the program sees real presses, releases and motion; what it
shows is read back as the X server holds it.
"""

import ctypes
import os
import shutil
import subprocess
import tempfile
import time

from PIL import Image, ImageChops

HERE = os.path.dirname(os.path.abspath(__file__))


class Failure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(what, probe, timeout=10.0):
    """Polls probe() until it returns something true, which it returns; probe
    may return (value, seen) so that a failure names what it saw last. The
    limit only ends a test that would wait for ever; GLOUTO_E2E_SLOW=N
    stretches it for a program under valgrind."""
    deadline = time.monotonic() + timeout * float(os.environ.get("GLOUTO_E2E_SLOW", "1"))
    seen = None
    while True:
        result = probe()
        if isinstance(result, tuple):
            result, seen = result
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what}" + (f"; last seen: {seen!r}" if seen is not None else ""))
        time.sleep(0.05)


def _x11():
    x11, xtst = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    for name, result in (("XStringToKeysym", ctypes.c_ulong), ("XInternAtom", ctypes.c_ulong),
                         ("XKeysymToKeycode", ctypes.c_ubyte)):
        getattr(x11, name).restype = result
    x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
    x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    return x11, xtst


def tap_key(display, name):
    """Presses and releases a key in one request: under load a pause between
    two xdotool calls could reach the program as the key held, and its key
    repeat would press it again."""
    x11, xtst = _x11()
    connection = x11.XOpenDisplay(display.encode())
    code = x11.XKeysymToKeycode(connection, x11.XStringToKeysym(name.encode()))
    check(code, f"no key {name}")
    xtst.XTestFakeKeyEvent(connection, code, 1, 0)
    xtst.XTestFakeKeyEvent(connection, code, 0, 0)
    x11.XFlush(connection)
    x11.XCloseDisplay(connection)


def send_delete_window(display, window):
    """WM_DELETE_WINDOW, as a window manager's close button sends it."""
    x11, _ = _x11()
    connection = x11.XOpenDisplay(display.encode())
    event = (ctypes.c_long * 24)()  # an XClientMessageEvent: type, ..., window, type, format, data
    event[0], event[4] = 33, window
    event[5] = x11.XInternAtom(connection, b"WM_PROTOCOLS", 0)
    event[6], event[7] = 32, x11.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
    x11.XSendEvent(connection, window, 0, 0, event)
    x11.XFlush(connection)
    x11.XCloseDisplay(connection)


def changed_box(before, after):
    return ImageChops.difference(before.convert("RGB"), after.convert("RGB")).getbbox()


def is_silent(samples):
    """Silence is one repeated 16-bit word (0, or 0x8000 unsigned); music has many."""
    return len({samples[i:i + 2] for i in range(0, len(samples) - 1, 2)}) <= 1


def is_sounding(samples):
    return len({samples[i:i + 2] for i in range(0, len(samples) - 1, 2)}) > 32


def make_workdir(assets):
    """A working folder like the shipped one: pictures, font and music linked
    in, its own Readme.html and an empty Niveaux/."""
    workdir = tempfile.mkdtemp(prefix="glouto-e2e-")
    for folder in ("Images", "Police", "Musique"):
        os.symlink(os.path.join(assets, folder), os.path.join(workdir, folder))
    shutil.copy(os.path.join(assets, "Readme.html"), workdir)
    os.mkdir(os.path.join(workdir, "Niveaux"))
    return workdir


class Session:
    """With "--zoom N" among args, positions and sizes stay in the program's
    pixels: each screenshot must be made of N x N blocks, and is shrunk."""

    def __init__(self, program, workdir, artifacts, args=(), env=None, window_class=None):
        self.args = [str(a) for a in args]
        self.zoom = int(self.args[self.args.index("--zoom") + 1]) if "--zoom" in self.args else 1
        self.name = window_class or os.path.basename(program)
        self.workdir, self.artifacts, self.shots = workdir, artifacts, 0
        os.makedirs(artifacts, exist_ok=True)
        self.opened_log = os.path.join(workdir, "opened-by-desktop.txt")
        self.sound_file = os.path.join(workdir, "sound.raw")
        read_end, write_end = os.pipe()  # Xvfb writes its display number there once it listens
        self.xserver = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{1280 * self.zoom}x{1024 * self.zoom}x24",
             "-nolisten", "tcp", "-noreset"], pass_fds=[write_end], stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            self.display = ":" + pipe.readline().decode().strip()
        check(self.display != ":", "Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=self.display, GLOUTO_OPENED_LOG=self.opened_log,
                        PATH=os.path.join(HERE, "fake_desktop") + os.pathsep + os.environ["PATH"],
                        # With no window manager sdl12-compat centres the window,
                        # and a wide one would reach past the screen's edge.
                        SDL_VIDEO_WINDOW_POS="0,0",
                        # The disk driver writes the mixed sound; its pause per
                        # buffer keeps the file near real time.
                        SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=self.sound_file, SDL_DISKAUDIODELAY="20")
        self.env.pop("XAUTHORITY", None)
        self.env.update(env or {})
        self.log = open(os.path.join(artifacts, f"{self.name}-output.txt"), "ab")
        self.process = subprocess.Popen([program, *self.args], cwd=workdir, env=self.env,
                                        stdout=self.log, stderr=subprocess.STDOUT)

    def finish(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.xserver.terminate()
        self.xserver.wait()
        self.log.close()

    def _xdotool(self, *args, ok_to_fail=False):
        run = subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True)
        check(run.returncode == 0 or ok_to_fail, f"xdotool {args}: {run.stderr.strip()}")
        return run.stdout.strip()

    def find_window(self):
        """The program's window, or None (a new game makes a new one)."""
        found = self._xdotool("search", "--onlyvisible", "--classname", f"^{self.name}$", ok_to_fail=True).split()
        return int(found[-1]) if found else None

    def window(self):
        return wait_until(f"a window of {self.name}", self.find_window)

    def caption(self):
        window = self.find_window()
        return self._xdotool("getwindowname", window, ok_to_fail=True) if window else None

    def size(self):
        window = self.find_window()
        out = self._xdotool("getwindowgeometry", "--shell", window, ok_to_fail=True) if window else ""
        values = dict(line.split("=", 1) for line in out.splitlines() if "=" in line)
        return (int(values["WIDTH"]) // self.zoom, int(values["HEIGHT"]) // self.zoom) if "WIDTH" in values else None

    def screenshot(self):
        """The window as shown now; each picture is kept among the artifacts."""
        self.shots += 1
        path = os.path.join(self.artifacts, f"{self.name}-{self.shots:03d}.png")
        run = subprocess.run(["import", "-window", str(self.window()), f"png:{path}"], env=self.env,
                             capture_output=True, text=True)
        check(run.returncode == 0, f"screenshot failed: {run.stderr.strip()}")
        with Image.open(path) as image:
            image = image.convert("RGB")
        if self.zoom == 1:
            return image
        small = image.resize((image.width // self.zoom, image.height // self.zoom), Image.NEAREST)
        blocks = changed_box(image, small.resize(image.size, Image.NEAREST))
        check(blocks is None, f"the zoomed window is not made of {self.zoom}x{self.zoom} blocks within {blocks}")
        return small

    def point_at(self, x, y):
        self._xdotool("mousemove", "--window", self.window(), x * self.zoom, y * self.zoom)

    def button(self, x, y, action):
        self.point_at(x, y)
        self._xdotool(action, 1)

    def key(self, name):
        tap_key(self.display, name)

    def close_window(self):
        send_delete_window(self.display, self.window())

    def opened(self):
        """What the program asked the desktop to open, in order."""
        if not os.path.exists(self.opened_log):
            return []
        with open(self.opened_log) as f:
            return f.read().splitlines()

    def sound(self, start=0):
        """The sound written since byte start."""
        if not os.path.exists(self.sound_file):
            return b""
        with open(self.sound_file, "rb") as f:
            f.seek(start)
            return f.read()
