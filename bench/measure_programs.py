#!/usr/bin/env python3
"""Whole-program figures of Glouto under Xvfb, from outside the programs.

    bench/measure_programs.py BUILD_DIR [--seconds 10] [--runs 3]

For `game`: the time from exec to its first frame (the player-count menu),
then, playing level 1 (one player, the hero made uncatchable with right
Shift so the level goes on), the real frame period, the main thread's CPU
time per frame and the CPU use of the whole process. For `editor`: its CPU
use while idle on the widest grid. Frames are counted by the flip_clock
LD_PRELOAD shim built next to the benchmarks; input comes from xdotool.
"""
import argparse
import contextlib
import ctypes
import os
import shutil
import signal
import statistics
import struct
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.join(os.path.dirname(HERE), "assets")
CLK_TCK = os.sysconf("SC_CLK_TCK")
# Level 1, one enemy: 10 ms after the hero, 10/1 after the enemy, 2 ms per
# Dessin (4) and FreeSurface, 2 ms after the event, 7 ms at the end.
LEVEL1_WAITS = (10, 10, 2, 2, 2, 2, 2, 2, 7)
LEVEL1_WAITS_MS = sum(LEVEL1_WAITS)


def bare_waits_period(frames=200):
    """A frame of nothing but the level-1 waits, through SDL's own SDL_Delay:
    what the machine's sleeps alone make of the 39 ms."""
    sdl = ctypes.CDLL("libSDL-1.2.so.0")
    start = time.monotonic_ns()
    for _ in range(frames):
        for ms in LEVEL1_WAITS:
            sdl.SDL_Delay(ms)
    return (time.monotonic_ns() - start) / 1e6 / frames


def start_xvfb():
    for n in range(91, 140):
        if os.path.exists(f"/tmp/.X11-unix/X{n}") or os.path.exists(f"/tmp/.X{n}-lock"):
            continue
        xvfb = subprocess.Popen(["Xvfb", f":{n}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(200):
            if os.path.exists(f"/tmp/.X11-unix/X{n}"):
                # The server's work for its first client is not the program's.
                xdo(f":{n}", "getmouselocation")
                return xvfb, f":{n}"
            if xvfb.poll() is not None:
                break
            time.sleep(0.02)
        xvfb.kill()
        xvfb.wait()
    sys.exit("no free display for Xvfb")


def xdo(display, *args):
    return subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=display),
                          capture_output=True, text=True, timeout=20).stdout.strip()


def records(log):
    with open(log, "rb") as f:
        data = f.read()
    return [struct.unpack_from("qq", data, i) for i in range(0, len(data) - 15, 16)]


def wait_for_frames(log, count, timeout=15.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if os.path.exists(log) and os.path.getsize(log) >= 16 * count:
            return True
        time.sleep(0.002)
    return False


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime + stime


def side_thread_ticks(pid):
    """CPU ticks of every thread but the main one: SDL's audio thread, which
    decodes the music, and its timer and event threads."""
    total = 0
    for tid in os.listdir(f"/proc/{pid}/task"):
        if int(tid) != pid:
            with contextlib.suppress(FileNotFoundError):
                total += cpu_ticks(f"{pid}/task/{tid}")
    return total


def launch(build, program, display, log, audio):
    # x11 named, so that a failing display is an error and not a text-mode window.
    env = dict(os.environ, DISPLAY=display, FLIP_CLOCK_LOG=log, SDL_VIDEODRIVER="x11",
               LD_PRELOAD=os.path.join(build, "bench", "libflip_clock.so"))
    if audio:
        env["SDL_AUDIODRIVER"] = audio
    t0 = time.monotonic_ns()
    proc = subprocess.Popen([os.path.join(build, program)], cwd=ASSETS, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return proc, t0


def stop(proc, display):
    xdo(display, "key", "Escape")
    try:
        proc.wait(timeout=5)
    except subprocess.TimeoutExpired:
        proc.send_signal(signal.SIGTERM)
        proc.wait()


def window(display, name):
    wid = xdo(display, "search", "--sync", "--name", name)
    return wid.split()[0] if wid else None


def measure_window(proc, log, seconds):
    """CPU use of the process and the flips over the next `seconds`."""
    start_wall, start_ticks, start_side = time.monotonic_ns(), cpu_ticks(proc.pid), side_thread_ticks(proc.pid)
    time.sleep(seconds)
    end_wall, end_ticks, end_side = time.monotonic_ns(), cpu_ticks(proc.pid), side_thread_ticks(proc.pid)
    wall = (end_wall - start_wall) / 1e9
    cpu = (end_ticks - start_ticks) / CLK_TCK / wall
    side = (end_side - start_side) / CLK_TCK / wall
    frames = [r for r in records(log) if start_wall <= r[0] <= end_wall]
    periods = [(b[0] - a[0]) / 1e6 for a, b in zip(frames, frames[1:])]
    work = [(b[1] - a[1]) / 1e6 for a, b in zip(frames, frames[1:])]
    return cpu, periods, work, side


@contextlib.contextmanager
def running(build, program, audio):
    """`program` started in a private Xvfb, once it has shown its first frame."""
    xvfb, display = start_xvfb()
    fd, log = tempfile.mkstemp(prefix="flips-")
    os.close(fd)
    try:
        proc, t0 = launch(build, program, display, log, audio)
        if not wait_for_frames(log, 1):
            raise RuntimeError(f"{program} showed no frame")
        yield proc, t0, display, log
        stop(proc, display)
    finally:
        xvfb.terminate()
        xvfb.wait()
        os.unlink(log)


def run_game(build, seconds, audio, music):
    with running(build, "game", audio) as (proc, t0, display, log):
        startup_ms = (records(log)[0][0] - t0) / 1e6
        wid = window(display, "Bienvenue")
        time.sleep(0.3)
        # "1 joueur" is the 90 x 40 plate at (cx - 45, cy - 25) of the 600 x 600 window.
        xdo(display, "mousemove", "--window", wid, "265", "285")
        time.sleep(0.2)
        xdo(display, "click", "1")
        time.sleep(0.8)
        xdo(display, "key", "Return")  # the level-start screen
        time.sleep(0.8)
        xdo(display, "key", "Shift_R")  # the hero cannot be caught: level 1 goes on
        if music:
            xdo(display, "key", "space")
        time.sleep(1.5)
        cpu, periods, work, side = measure_window(proc, log, seconds)
    return startup_ms, cpu, periods, work, side


def run_editor(build, seconds, audio):
    with running(build, "editor", audio) as (proc, _, display, log):
        wid = window(display, "Editeur")
        time.sleep(0.3)
        # "Plus que 4" (1000 pixels wide) is the 110 x 40 plate at (145, 300) of the 400 x 400 window.
        xdo(display, "mousemove", "--window", wid, "170", "320")
        time.sleep(0.2)
        xdo(display, "click", "1")
        time.sleep(4.0)  # the grid is built at 2 ms a cell
        cpu, periods, work, _ = measure_window(proc, log, seconds)
    return cpu, periods, work


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--seconds", type=float, default=10)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--audio", default="dummy", help="SDL_AUDIODRIVER for the runs ('' for SDL's choice)")
    parser.add_argument("--music", action="store_true", help="switch the music on (Space) in level 1")
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool"):
        if not shutil.which(tool):
            sys.exit(f"{tool} is needed")
    build = os.path.abspath(args.build)

    print(f"machine: {os.cpu_count()} cores, load {os.getloadavg()[0]:.1f}")
    bare = bare_waits_period()
    print("bare waits: a frame of the level-1 waits alone takes %.2f ms (+%.1f %% over %d ms)"
          % (bare, (bare / LEVEL1_WAITS_MS - 1) * 100, LEVEL1_WAITS_MS))
    game_rows = []
    for run in range(args.runs):
        startup, cpu, periods, work, side = run_game(build, args.seconds, args.audio, args.music)
        row = (startup, statistics.median(periods), statistics.mean(periods),
               statistics.median(work), cpu * 100, len(periods), side * 100)
        game_rows.append(row)
        print("game   run %d: start-up to first frame %.0f ms; level 1: period median %.2f ms, "
              "mean %.2f ms (fixed waits %d ms); frame CPU median %.3f ms; process CPU %.1f %% "
              "(%d frames), of which %.1f %% in other threads than the main one"
              % (run + 1, row[0], row[1], row[2], LEVEL1_WAITS_MS, row[3], row[4], row[5], row[6]))
    editor_rows = []
    for run in range(args.runs):
        cpu, periods, work = run_editor(build, args.seconds, args.audio)
        row = (cpu * 100, statistics.median(periods), statistics.median(work))
        editor_rows.append(row)
        print("editor run %d: idle on the 1000-wide grid: process CPU %.1f %%, pass period median "
              "%.2f ms, pass CPU median %.3f ms" % (run + 1, *row))
    med = lambda rows, i: statistics.median(r[i] for r in rows)
    print("median of %d runs: game start-up %.0f ms, period %.2f ms (+%.1f %% over %d ms, "
          "+%.2f ms over the bare waits), "
          "frame CPU %.3f ms, game CPU %.1f %% (other threads %.1f %%); editor CPU %.1f %%, "
          "pass CPU %.3f ms"
          % (args.runs, med(game_rows, 0), med(game_rows, 1),
             (med(game_rows, 1) / LEVEL1_WAITS_MS - 1) * 100, LEVEL1_WAITS_MS,
             med(game_rows, 1) - bare, med(game_rows, 3),
             med(game_rows, 4), med(game_rows, 6), med(editor_rows, 0), med(editor_rows, 2)))


if __name__ == "__main__":
    main()
