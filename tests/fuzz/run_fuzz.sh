#!/usr/bin/env bash
# Builds the level reader fuzzer with clang and runs it for a few seconds,
# seeded with the shipped levels. Usage: run_fuzz.sh SOURCE_DIR BUILD_DIR [SECONDS]
set -euo pipefail
src="$1"; out="$2"; seconds="${3:-15}"
command -v clang++ >/dev/null || { echo "clang++ missing"; exit 77; }
mkdir -p "$out/corpus"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$src" $(pkg-config --cflags sdl) \
  "$src/tests/fuzz/level_reader_fuzz.cpp" "$src/game/maze/level_file.cpp" \
  -o "$out/level_reader_fuzz"
cp "$src"/assets/Niveaux/*.txt "$out/corpus/" 2>/dev/null || true
cd "$out"
./level_reader_fuzz -max_total_time="$seconds" -print_final_stats=1 corpus 2>&1 | tail -25
