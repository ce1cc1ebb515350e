#!/usr/bin/env python3
"""The frame period of a game on two screens, headless, at level 1 (600 x 600, one
enemy), both games' flips timed by the flip_clock shim, their keys from
tests/linked's scripted_keys shim, through a relay that holds every byte a
one-way delay (half the round trip) before passing it on:

    bench/linked_pace.py BUILD_DIR [--frames 500] [--delays 0,75,100]

Prints, per delay, each side's median and mean period over its last frames.
"""
import argparse
import os
import queue
import socket
import statistics
import struct
import subprocess
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.join(os.path.dirname(HERE), "assets")


def relay(a, b, delay):
    """Bytes from a to b, each chunk held `delay` seconds after it came."""
    held = queue.Queue()

    def read():
        try:
            while chunk := a.recv(65536):
                held.put((time.monotonic() + delay, chunk))
        except ConnectionResetError:  # the game ended with bytes unread
            pass
        held.put((0, b""))

    def write():
        while True:
            when, chunk = held.get()
            if not chunk:
                b.shutdown(socket.SHUT_WR)
                return
            time.sleep(max(0, when - time.monotonic()))
            try:
                b.sendall(chunk)
            except OSError:
                return

    for work in (read, write):
        threading.Thread(target=work, daemon=True).start()


def run(build, frames, delay):
    host_end, host_relay = socket.socketpair()
    guest_end, guest_relay = socket.socketpair()
    relay(host_relay, guest_relay, delay)
    relay(guest_relay, host_relay, delay)
    logs, games = {}, []
    for option, script, end in (("--deux-ecrans", f"return 0 Glouto_!;escape {frames} Niveau_1", host_end),
                                ("--invite", "", guest_end)):
        logs[option] = tempfile.mktemp(prefix="glouto-flips-")
        env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy", GLOUTO_SCRIPT=script,
                   GLOUTO_LIEN=str(end.fileno()), FLIP_CLOCK_LOG=logs[option],
                   LD_PRELOAD=os.path.join(build, "tests/linked/libscripted_keys.so") + " " +
                   os.path.join(build, "bench/libflip_clock.so"))
        where = tempfile.mkdtemp(prefix="glouto-pace-")
        for name in ("Images", "Police", "Musique", "Niveaux"):
            os.symlink(os.path.join(ASSETS, name), os.path.join(where, name))
        games.append(subprocess.Popen([os.path.join(build, "game"), option], cwd=where, env=env,
                                      pass_fds=[end.fileno()], stdout=subprocess.DEVNULL))
    host_end.close(), guest_end.close()
    for g in games:
        g.wait()
    for option, log in logs.items():
        data = open(log, "rb").read()
        times = [struct.unpack_from("qq", data, i)[0] for i in range(0, len(data) - 15, 16)]
        periods = [(b - a) / 1e6 for a, b in zip(times, times[1:])][-(frames - 50):]
        print(f"delay {delay * 1000:.0f} ms one way, {option}: median {statistics.median(periods):.2f} ms, "
              f"mean {statistics.mean(periods):.2f} ms over {len(periods)} frames")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--frames", type=int, default=500)
    parser.add_argument("--delays", default="0,75,100")
    args = parser.parse_args()
    for delay in args.delays.split(","):
        run(os.path.abspath(args.build), args.frames, float(delay) / 1000)


if __name__ == "__main__":
    main()
