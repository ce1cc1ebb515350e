#!/bin/sh
# Composes the music with music.py and puts it in assets/Musique/:
# track 0 "Musique.wav" (the loop) and track 3 "Musique3.wav" stay WAV,
# tracks 2, 4 and 5 and the end jingle "Musique.mp3" are encoded with lame.
set -eu
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 tools/music.py "$work"
out=assets/Musique
rm -f "$out"/Musique*.wav "$out"/Musique*.mp3
cp "$work/Musique.wav" "$work/Musique3.wav" "$out/"
for n in Musique2 Musique4 Musique5; do
  lame --quiet -m m -b 64 --resample 44.1 --noreplaygain "$work/$n.wav" "$out/$n.mp3"
done
lame --quiet -m m -b 80 --resample 44.1 --noreplaygain "$work/Fin.wav" "$out/Musique.mp3"
ls -l "$out"
du -cb "$out"/* | tail -1
