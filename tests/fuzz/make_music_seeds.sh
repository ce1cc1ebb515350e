#!/usr/bin/env bash
# Writes short WAV and MP3 tones of several rates and channel counts into a
# folder, as seeds for the music fuzzer. Needs sox (and lame for the MP3s).
#   make_music_seeds.sh FOLDER
set -euo pipefail
out="$1"
mkdir -p "$out"
command -v sox >/dev/null || { echo "sox missing: no generated seeds"; exit 0; }
for rate in 8000 22050 32000 44100 48000; do
  for channels in 1 2; do
    name="$out/tone-$rate-$channels"
    [ -f "$name.wav" ] || sox -n -r "$rate" -c "$channels" -b 16 "$name.wav" synth 0.05 sine 440
    if command -v lame >/dev/null && [ ! -f "$name.mp3" ]; then
      lame --quiet -b 32 --resample "$(awk "BEGIN { print $rate / 1000 }")" "$name.wav" "$name.mp3"
    fi
  done
done
# Other sample layouts libsndfile reads from a WAV.
[ -f "$out/tone-8bit.wav" ] || sox -n -r 11025 -c 1 -b 8 "$out/tone-8bit.wav" synth 0.05 sine 440
[ -f "$out/tone-float.wav" ] || sox -n -r 44100 -c 2 -e floating-point -b 32 "$out/tone-float.wav" synth 0.05 sine 440
[ -f "$out/tone-adpcm.wav" ] || sox -n -r 22050 -c 1 -e ima-adpcm "$out/tone-adpcm.wav" synth 0.05 sine 440
[ -f "$out/tone-rifx.wav" ] || sox -n -B -r 22050 -c 1 -b 16 "$out/tone-rifx.wav" synth 0.05 sine 440
# Files players drop in: two ID3v2 tags, a damaged MP3, frames of garbage.
if [ -f "$out/tone-44100-2.mp3" ] && [ ! -f "$out/two-tags.mp3" ]; then
  python3 - "$out" <<'EOF'
import random, sys
out = sys.argv[1]
song = open(out + "/tone-44100-2.mp3", "rb").read()
tag = lambda n: b"ID3\x03\x00\x00" + bytes((n >> s) & 127 for s in (21, 14, 7, 0)) + bytes(n)
open(out + "/two-tags.mp3", "wb").write(tag(20) + tag(300) + song)
rng = random.Random(1)
open(out + "/damaged.mp3", "wb").write(bytes(rng.randrange(256) if rng.random() < 0.01 else b for b in song))
open(out + "/garbage.mp3", "wb").write(b"".join(b"\xff\xfb\x90\x64" + rng.randbytes(413) for _ in range(4)))
EOF
fi
