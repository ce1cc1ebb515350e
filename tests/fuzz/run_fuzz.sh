#!/usr/bin/env bash
# Builds a fuzzer with clang and runs it for a few seconds: the level reader
# (seeded with the shipped levels), a shared level's code, or the music
# decoder (seeded with WAV and MP3 files of several rates and channel counts).
#   run_fuzz.sh SOURCE_DIR BUILD_DIR [SECONDS] [level|code|music]
set -euo pipefail
src="$1"; out="$2"; seconds="${3:-15}"; target="${4:-level}"
command -v clang++ >/dev/null || { echo "clang++ missing"; exit 1; }
flags=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I"$src")
case $target in
  level)
    mkdir -p "$out/corpus"
    clang++ "${flags[@]}" $(pkg-config --cflags sdl) \
      "$src/tests/fuzz/level_reader_fuzz.cpp" "$src"/level/level_{file,paths}.cpp -o "$out/level_reader_fuzz"
    cp "$src"/assets/Niveaux/*.txt "$out/corpus/" 2>/dev/null || true
    corpus=corpus; program=level_reader_fuzz; options=()
    ;;
  code)
    mkdir -p "$out/code_corpus"
    clang++ "${flags[@]}" "$src/tests/fuzz/level_code_fuzz.cpp" "$src"/level/level_{code,check,save}.cpp \
      -o "$out/level_code_fuzz"
    printf 'AQACAAIAOzA' >"$out/code_corpus/two_walls"
    printf 'https://glouto.example/jeu.html#AQABAAA' >"$out/code_corpus/link"
    corpus=code_corpus; program=level_code_fuzz; options=()
    ;;
  music)
    mkdir -p "$out/music_corpus"
    clang++ "${flags[@]}" "$src/tests/fuzz/music_fuzz.cpp" "$src"/platform/desktop/sound/sound_{file,stream}.cpp \
      $(pkg-config --libs sndfile samplerate) -o "$out/music_fuzz"
    "$src/tests/fuzz/make_music_seeds.sh" "$out/music_corpus"
    corpus=music_corpus; program=music_fuzz; options=(-max_len=8192 -close_fd_mask=2)  # mpg123 notes every bad frame
    ;;
  *) echo "unknown fuzzer $target"; exit 2 ;;
esac
cd "$out"
"./$program" -max_total_time="$seconds" -print_final_stats=1 "${options[@]}" "$corpus" 2>&1 | tail -25
