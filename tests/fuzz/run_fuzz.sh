#!/usr/bin/env bash
# Builds the fuzzers with clang, runs one: level reader, level code, music decoder, recorded
# game, a message of the other screen. LENGTH:
# seconds, or runs=N inputs from a fixed seed (the same work however busy).
#   run_fuzz.sh SOURCE_DIR BUILD_DIR [LENGTH] [level|code|music|partie|lien]
set -euo pipefail
src="$1"; out="$2"; length="${3:-15}"; export GLOUTO_FUZZ="${4:-level}"
for tool in clang++ sox lame; do command -v $tool >/dev/null || { echo "$tool missing"; exit 1; }; done
mkdir -p "$out/$GLOUTO_FUZZ" && cd "$out" && options=()
# shellcheck disable=SC2046
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$src" $(pkg-config --cflags sdl) "$src/tests/fuzz/fuzz.cpp" "$src"/level/level_{file,paths,code,check,save}.cpp "$src"/level/code_bits.cpp "$src"/game/replay/{recording_code,recording_timeline,lockstep,taken_event}.cpp \
  "$src"/platform/desktop/sound/sound_{file,stream}.cpp $(pkg-config --libs sndfile samplerate) -o "fuzz-$GLOUTO_FUZZ"
case $GLOUTO_FUZZ in
  level) cp "$src"/assets/Niveaux/*.txt level/ ;;
  code) printf 'AQACAAIAOzA' >code/two_walls; printf 'https://glouto.example/jeu.html#AQABAAA' >code/link ;;
  partie) cp "$src"/tests/games/*.partie partie/ 2>/dev/null || true ;;
  # Each a side byte (odd: the host), then a message: a hello, a start, two frames, a screen's key, a request.
  lien) n=0; for m in '\x00\x01\x01' '\x01\x02\x01\x03ABC' '\x01\x04\x05\xde\xad\xbe\xef\x02\x03\x00\x02\x02\x01\x0a\x0b\x05' \
      '\x00\x04\x03\x01\x02\x03\x04\x02\x03\x04' '\x01\x05\x1e\x00\x06' '\x00\x06\x07\x04'; do printf "$m" >"lien/seed$((n += 1))"; done ;;
  music) options=(-max_len=8192 -close_fd_mask=2)  # mpg123 notes every bad frame
    # WAVs of many layouts, their MP3s; an MP3 behind two ID3v2 tags, a damaged one, garbage.
    cd music && tone() { [ -f "$1" ] || sox -n "${@:2}" "$1" synth 0.05 sine 440; }
    for rate in 8000 22050 32000 44100 48000; do for c in 1 2; do
      tone "tone-$rate-$c.wav" -r "$rate" -c "$c" -b 16
      [ -f "tone-$rate-$c.mp3" ] || lame --quiet -b 32 --resample "$rate" "tone-$rate-$c".{wav,mp3}
    done; done
    tone tone-8bit.wav -r 11025 -c 1 -b 8
    tone tone-float.wav -r 44100 -c 2 -e floating-point -b 32
    tone tone-adpcm.wav -r 22050 -c 1 -e ima-adpcm
    tone tone-rifx.wav -B -r 22050 -c 1 -b 16
    python3 -c '
import random
song, rng = open("tone-44100-2.mp3", "rb").read(), random.Random(1)
tag = lambda n: b"ID3\x03\x00\x00" + bytes((n >> s) & 127 for s in (21, 14, 7, 0)) + bytes(n)
open("two-tags.mp3", "wb").write(tag(20) + tag(300) + song)
open("damaged.mp3", "wb").write(bytes(rng.randrange(256) if rng.random() < 0.01 else b for b in song))
open("garbage.mp3", "wb").write(b"".join(b"\xff\xfb\x90\x64" + rng.randbytes(413) for _ in range(4)))'
    cd .. ;;
  *) echo "unknown fuzzer $GLOUTO_FUZZ"; exit 2 ;;
esac
case $length in
  runs=*) length=(-runs="${length#runs=}" -seed=1) ;;
  *) length=(-max_total_time="$length") ;;
esac
"./fuzz-$GLOUTO_FUZZ" "${length[@]}" -print_final_stats=1 "${options[@]}" "$GLOUTO_FUZZ" 2>&1 | tail -25
