"""One run of `game` or `editor` driven in a private X server as a person would:
its own Xvfb, its own working folder (the shipped assets linked in, an empty
Niveaux/), a stand-in desktop that records what the program asks to open, and
a file that receives everything it plays. Input goes through the X server's
test extension; what the window shows is read back as the X server holds it.
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
    may return (value, seen), and a failure names what it saw last. The limit
    only ends a test that would wait for ever (GLOUTO_E2E_SLOW=N stretches it
    for a program under valgrind)."""
    deadline = time.monotonic() + timeout * float(os.environ.get("GLOUTO_E2E_SLOW", "1"))
    while True:
        result, seen = (lambda r: r if isinstance(r, tuple) else (r, None))(probe())
        if result:
            return result
        check(time.monotonic() < deadline, f"timed out waiting for {what}" + (f"; last seen: {seen!r}" if seen else ""))
        time.sleep(0.05)


def x_request(display, send):
    """One connection to the X server for send(x11, xtst, connection), flushed once."""
    x11, xtst = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
    x11.XOpenDisplay.restype = x11.XStringToKeysym.restype = x11.XInternAtom.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
    x11.XFlush.argtypes = x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    connection = x11.XOpenDisplay(display.encode())
    send(x11, xtst, connection)
    x11.XFlush(connection)
    x11.XCloseDisplay(connection)


def tap_key(x11, xtst, connection, name):
    """Press and release in one request: under load a pause between two calls
    could reach the program as the key held, and its key repeat press it again."""
    code = x11.XKeysymToKeycode(connection, x11.XStringToKeysym(name.encode()) or 0)
    check(code, f"no key {name}")
    xtst.XTestFakeKeyEvent(connection, code, 1, 0)
    xtst.XTestFakeKeyEvent(connection, code, 0, 0)


def delete_window(x11, xtst, connection, window):
    """WM_DELETE_WINDOW, as a window manager's close button sends it."""
    event = (ctypes.c_long * 24)(33, 0, 0, 0, window, x11.XInternAtom(connection, b"WM_PROTOCOLS", 0), 32,
                                 x11.XInternAtom(connection, b"WM_DELETE_WINDOW", 0))
    x11.XSendEvent(connection, window, 0, 0, event)


def changed_box(before, after):
    return ImageChops.difference(before, after).getbbox()


def words_in(samples):
    """Silence is one repeated 16-bit word; music has many."""
    return len({samples[i:i + 2] for i in range(0, len(samples) - 1, 2)})


class Session:
    """With "--zoom N" among args, positions and sizes stay in the program's
    pixels: each screenshot must be made of N x N blocks, and is shrunk."""

    def __init__(self, program, assets, artifacts, args=(), workdir=None, env=None, window_class=None):
        self.args = [str(a) for a in args]
        self.zoom = int(self.args[self.args.index("--zoom") + 1]) if "--zoom" in self.args else 1
        self.name, self.artifacts, self.shots = window_class or os.path.basename(program), artifacts, 0
        self.workdir = workdir or tempfile.mkdtemp(prefix="glouto-e2e-")
        if not workdir:
            for folder in ("Images", "Police", "Musique"):
                os.symlink(os.path.join(assets, folder), os.path.join(self.workdir, folder))
            shutil.copy(os.path.join(assets, "Readme.html"), self.workdir)
            os.mkdir(os.path.join(self.workdir, "Niveaux"))
        os.makedirs(artifacts, exist_ok=True)
        self.opened_log, self.sound_file = (os.path.join(self.workdir, f) for f in ("opened.txt", "sound.raw"))
        read_end, write_end = os.pipe()  # Xvfb writes its display number there once it listens
        self.xserver = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{1280 * self.zoom}x{1024 * self.zoom}x24",
             "-nolisten", "tcp", "-noreset"], pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end, "rb") as pipe:
            self.display = ":" + pipe.readline().decode().strip()
        check(self.display != ":", "Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=self.display, GLOUTO_OPENED_LOG=self.opened_log,
                        PATH=os.path.join(HERE, "fake_desktop") + os.pathsep + os.environ["PATH"],
                        # With no window manager sdl12-compat centres the window,
                        # and a wide one would reach past the screen's edge.
                        SDL_VIDEO_WINDOW_POS="0,0",
                        # The disk driver writes the mixed sound, its pause per
                        # buffer keeping the file near real time.
                        SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=self.sound_file, SDL_DISKAUDIODELAY="20",
                        **(env or {}))
        self.env.pop("XAUTHORITY", None)
        self.log = open(os.path.join(artifacts, f"{self.name}-output.txt"), "ab")
        self.process = subprocess.Popen([program, *self.args], cwd=self.workdir, env=self.env,
                                        stdout=self.log, stderr=subprocess.STDOUT)

    def finish(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.xserver.terminate()
        self.xserver.wait()
        self.log.close()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *map(str, args)], env=self.env, capture_output=True, text=True).stdout

    def find_window(self):
        """The program's window, or None (a new game makes a new one)."""
        found = self.xdotool("search", "--onlyvisible", "--classname", f"^{self.name}$").split()
        return int(found[-1]) if found else None

    def window(self):
        return wait_until(f"a window of {self.name}", self.find_window)

    def caption(self):
        window = self.find_window()
        return self.xdotool("getwindowname", window).strip() if window else None

    def size(self):
        window = self.find_window()
        values = dict(line.split("=", 1) for line in self.xdotool("getwindowgeometry", "--shell", window or "")
                      .splitlines() if "=" in line)
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
        small = image.resize((image.width // self.zoom, image.height // self.zoom), Image.NEAREST)
        blocks = changed_box(image, small.resize(image.size, Image.NEAREST))
        check(blocks is None, f"the zoomed window is not made of {self.zoom}x{self.zoom} blocks within {blocks}")
        return small

    def point_at(self, x, y, *button):
        self.xdotool("mousemove", "--window", self.window(), x * self.zoom, y * self.zoom, *button)

    def key(self, name):
        x_request(self.display, lambda *x: tap_key(*x, name))

    def close_window(self):
        window = self.window()
        x_request(self.display, lambda *x: delete_window(*x, window))

    def opened(self):
        """What the program asked the desktop to open, in order."""
        return open(self.opened_log).read().splitlines() if os.path.exists(self.opened_log) else []

    def sound(self, start=0):
        """The sound written since byte start."""
        if not os.path.exists(self.sound_file):
            return b""
        with open(self.sound_file, "rb") as f:
            f.seek(start)
            return f.read()
