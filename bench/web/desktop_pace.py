"""The hero's pace (pixels per second) in the desktop game under Xvfb, measured
as bench/web/pace.js measures it in the browser: level 1, then the heavy level 5.
    python3 bench/web/desktop_pace.py build/game assets
GAP=ms between samples, 40 by default as in the browser."""

import ctypes
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))
import harness  # noqa: E402
sys.path.insert(0, os.path.join(HERE, ".."))
from measure_programs import records as flip_records  # noqa: E402

WELCOME = "Bienvenue dans le monde du Glouto !"


class _XImage(ctypes.Structure):
    """The head of Xlib's XImage, up to its destroy function."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int),
                ("bitmap_pad", ctypes.c_int), ("depth", ctypes.c_int),
                ("bytes_per_line", ctypes.c_int), ("bits_per_pixel", ctypes.c_int),
                ("red_mask", ctypes.c_ulong), ("green_mask", ctypes.c_ulong),
                ("blue_mask", ctypes.c_ulong), ("obdata", ctypes.c_void_p),
                ("create_image", ctypes.c_void_p),
                ("destroy_image", ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p))]


# Xlib's default handler ends the process, which would leave Xvfb running: an
# error (the window gone) just makes that sample None.
_IGNORE_X_ERRORS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)


class HeroBand:
    """The hero's rows (y 301 to 350) read straight from the X server: a few
    milliseconds each, where a screenshot of the whole window took 100-200 and
    competed with the game for the processor."""

    TOP, ROWS = 301, 50

    def __init__(self, display, window, width):
        self.x11 = x11 = ctypes.CDLL("libX11.so.6")
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XGetImage.restype = ctypes.POINTER(_XImage)
        x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                  ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        x11.XSetErrorHandler(_IGNORE_X_ERRORS)
        self.connection = x11.XOpenDisplay(display.encode())
        harness.check(self.connection, f"cannot open display {display}")
        self.window, self.width = window, width

    def hero_x(self):
        """Centre along x of the hero's orange in its rows, or None."""
        all_planes, z_pixmap = ctypes.c_ulong(-1).value, 2
        image = self.x11.XGetImage(self.connection, self.window, 0, self.TOP, self.width,
                                   self.ROWS, all_planes, z_pixmap)
        if not image:
            return None
        try:
            head = image.contents
            harness.check(head.bits_per_pixel == 32, f"{head.bits_per_pixel}-bit pixels")
            data = ctypes.string_at(head.data, head.bytes_per_line * self.ROWS)
            reds, greens, blues = (self._channel(data, head, mask)
                                   for mask in (head.red_mask, head.green_mask, head.blue_mask))
        finally:
            image.contents.destroy_image(ctypes.cast(image, ctypes.c_void_p))
        xs = [i % self.width for i, (r, g, b) in enumerate(zip(reds, greens, blues))
              if r > 220 and 150 < g < 190 and b < 60]
        return sum(xs) / len(xs) if len(xs) > 50 else None

    def _channel(self, data, head, mask):
        """One colour's bytes, row after row; where it lies in a pixel comes
        from the image's masks and byte order, not from what Xvfb usually does."""
        shift = (mask & -mask).bit_length() - 1
        harness.check(mask == 0xFF << shift and shift % 8 == 0, f"colour mask {mask:#x}")
        at = shift // 8 if head.byte_order == 0 else 3 - shift // 8  # 0: LSBFirst
        line = head.bytes_per_line
        return b"".join(data[row * line + at:row * line + 4 * self.width:4]
                        for row in range(self.ROWS))

    def close(self):
        self.x11.XCloseDisplay(self.connection)


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
    # Each flip's time, logged by the shim bench/measure_programs.py uses too.
    flips = os.path.join(artifacts, "flips")
    preload = os.path.join(os.path.dirname(game), "bench", "libflip_clock.so")
    session = harness.Session(game, workdir, artifacts, env={"FLIP_CLOCK_LOG": flips, "LD_PRELOAD": preload})
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
        band = HeroBand(session.env["DISPLAY"], session.window(), session.size()[0])
        gap = int(os.environ.get("GAP", "40")) / 1000
        start, samples = time.monotonic(), []
        first_ns = time.monotonic_ns()
        try:
            while time.monotonic() - start < 3:
                # The read is quick: its start is when the picture was taken.
                taken = time.monotonic() - start
                samples.append((taken, band.hero_x()))
                time.sleep(gap)
        finally:
            band.close()
        times = [t for t, _ in flip_records(flips) if t >= first_ns]
        period = (times[-1] - times[0]) / (len(times) - 1) / 1e6
        print(f"desktop pace at level {level}: {pace_of(samples):.1f} px/s, a frame every {period:.2f} ms")
    finally:
        session.finish()
        shutil.rmtree(workdir, ignore_errors=True)
        shutil.rmtree(artifacts, ignore_errors=True)


if __name__ == "__main__":
    for level in (1, 5):
        run(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), level)
