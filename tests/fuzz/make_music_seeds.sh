#!/usr/bin/env bash
# Short tones as seeds for the music fuzzer: WAVs of several rates, channel
# counts and sample layouts, MP3s, and what players drop in (two ID3v2 tags,
# a damaged MP3, frames of garbage). Needs sox (and lame for the MP3s).
#   make_music_seeds.sh FOLDER
set -euo pipefail
cd "$1"
command -v sox >/dev/null || { echo "sox missing: no generated seeds"; exit 0; }
tone() { [ -f "$1" ] || sox -n "${@:2}" "$1" synth 0.05 sine 440; }
for rate in 8000 22050 32000 44100 48000; do
  for channels in 1 2; do
    tone "tone-$rate-$channels.wav" -r "$rate" -c "$channels" -b 16
    if command -v lame >/dev/null && [ ! -f "tone-$rate-$channels.mp3" ]; then
      lame --quiet -b 32 --resample "$(awk "BEGIN { print $rate / 1000 }")" "tone-$rate-$channels".{wav,mp3}
    fi
  done
done
tone tone-8bit.wav -r 11025 -c 1 -b 8
tone tone-float.wav -r 44100 -c 2 -e floating-point -b 32
tone tone-adpcm.wav -r 22050 -c 1 -e ima-adpcm
tone tone-rifx.wav -B -r 22050 -c 1 -b 16
[ -f tone-44100-2.mp3 ] && [ ! -f two-tags.mp3 ] && python3 - <<'PY'
import random
song = open("tone-44100-2.mp3", "rb").read()
tag = lambda n: b"ID3\x03\x00\x00" + bytes((n >> s) & 127 for s in (21, 14, 7, 0)) + bytes(n)
open("two-tags.mp3", "wb").write(tag(20) + tag(300) + song)
rng = random.Random(1)
open("damaged.mp3", "wb").write(bytes(rng.randrange(256) if rng.random() < 0.01 else b for b in song))
open("garbage.mp3", "wb").write(b"".join(b"\xff\xfb\x90\x64" + rng.randbytes(413) for _ in range(4)))
PY
true
