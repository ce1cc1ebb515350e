#!/usr/bin/env bash
# Builds the fuzzers with clang and runs one: the level reader (seeded with
# the shipped levels), a shared level's code, or the music decoder (seeded
# with tones of several rates and layouts). LENGTH is seconds, or runs=N for
# N inputs from a fixed seed: the same work however busy the machine.
#   run_fuzz.sh SOURCE_DIR BUILD_DIR [LENGTH] [level|code|music]
set -euo pipefail
src="$1"; out="$2"; length="${3:-15}"; export GLOUTO_FUZZ="${4:-level}"
command -v clang++ >/dev/null || { echo "clang++ missing"; exit 1; }
mkdir -p "$out/$GLOUTO_FUZZ"
cd "$out"
# shellcheck disable=SC2046
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$src" $(pkg-config --cflags sdl) "$src/tests/fuzz/fuzz.cpp" "$src"/level/level_{file,paths,code,check,save}.cpp \
  "$src"/platform/desktop/sound/sound_{file,stream}.cpp $(pkg-config --libs sndfile samplerate) -o "fuzz-$GLOUTO_FUZZ"
options=()
case $GLOUTO_FUZZ in
  level) cp "$src"/assets/Niveaux/*.txt level/ ;;
  code) printf 'AQACAAIAOzA' >code/two_walls; printf 'https://glouto.example/jeu.html#AQABAAA' >code/link ;;
  music) "$src/tests/fuzz/make_music_seeds.sh" music; options=(-max_len=8192 -close_fd_mask=2) ;;  # mpg123 notes every bad frame
  *) echo "unknown fuzzer $GLOUTO_FUZZ"; exit 2 ;;
esac
case $length in
  runs=*) length=(-runs="${length#runs=}" -seed=1) ;;
  *) length=(-max_total_time="$length") ;;
esac
"./fuzz-$GLOUTO_FUZZ" "${length[@]}" -print_final_stats=1 "${options[@]}" "$GLOUTO_FUZZ" 2>&1 | tail -25
