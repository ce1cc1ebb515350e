#!/usr/bin/env python3
"""Instructions per call of the frame's parts, counted by callgrind: unlike
CPU time they do not depend on the machine's load.

    bench/count_instructions.py BUILD_DIR

Runs each benchmark once under valgrind --tool=callgrind and divides the
inclusive instruction count of the measured function by its number of calls.
"""
import os
import re
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.join(os.path.dirname(HERE), "assets")

# (program, benchmark filter, function as callgrind names it, what it is)
CASES = [
    ("game_bench", "BM_Frame/width:1000/walls:1000/", "RunFrame(GameState&)",
     "whole frame, 1000x600, 1000 walls, 300 chests, 5 enemies"),
    ("game_bench", "BM_Frame/width:600/walls:24/", "RunFrame(GameState&)",
     "whole frame, level 1 (600x600, 24 walls, 50 chests, 1 enemy)"),
    ("game_bench", "BM_ZoomedFrame/width:1000/walls:1000/", "RunFrame(GameState&)",
     "the same at --zoom 2"),
    ("game_bench", "BM_ZoomedFrame/width:600/walls:24/", "RunFrame(GameState&)",
     "level 1 at --zoom 2"),
    ("game_bench", "BM_DessinWalls/1000", "Dessin(SDL_Surface*, SDL_Surface**, SDL_Rect*, int)",
     "Dessin of 1000 walls"),
    ("game_bench", "BM_DessinChests", "Dessin(SDL_Surface*, SDL_Surface**, SDL_Rect*, int)",
     "Dessin of 300 chests"),
    ("game_bench", "BM_ReloadSprite", "ReloadImage(SDL_Surface**, char const*)",
     "one sprite reload"),
    ("game_bench", "BM_Condition1000Walls", "Condition(SDL_Rect*, SDL_Rect*, SDL_Rect, SDL_Rect, "
     "int, int, int, int, int, int, int, int, int)", "Condition against 1000 walls"),
    ("game_bench", "BM_CarresDensestLevel",
     "Carres(int, int, SDL_Rect*, SDL_Surface**, int, SDL_Rect*, int)",
     "Carres, 300 chests on the densest level"),
    ("editor_bench", "BM_EditorDessin/1000",
     "Dessin(SDL_Surface*, SDL_Surface**, SDL_Rect*, int, int, int, int)",
     "editor Dessin, 960 cells"),
]


def per_call(build, program, bench_filter, function):
    out = tempfile.mktemp(prefix="callgrind-")
    env = dict(os.environ, SDL_VIDEODRIVER="dummy", SDL_AUDIODRIVER="dummy")
    subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}",
                    os.path.join(build, "bench", program), f"--benchmark_filter={bench_filter}",
                    "--benchmark_min_time=0.5"],
                   cwd=ASSETS, env=env, check=True, capture_output=True)
    tree = subprocess.run(["callgrind_annotate", "--tree=calling", "--threshold=100", out], capture_output=True,
                          text=True, check=True).stdout
    os.unlink(out)
    # Lines "  cost (pct)  => file:function (Nx)" under the benchmark body give
    # the inclusive cost of the calls made from there.
    total = calls = 0
    suffix = ":" + function + " ("
    for line in tree.splitlines():
        if "=>" not in line or suffix not in line:
            continue
        m = re.match(r"^\s*([\d,]+) \([^)]*\)\s+=> .*\(([\d,]+)x\)", line)
        if m:
            total += int(m.group(1).replace(",", ""))
            calls += int(m.group(2).replace(",", ""))
    return total / calls if calls else float("nan"), calls


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    for program, bench_filter, function, label in CASES:
        instructions, calls = per_call(build, program, bench_filter, function)
        print(f"{label:62s} {instructions / 1e6:9.3f} M instructions per call ({calls} calls)")


if __name__ == "__main__":
    main()
