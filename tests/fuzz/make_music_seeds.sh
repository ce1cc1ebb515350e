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
