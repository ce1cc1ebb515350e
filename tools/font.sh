#!/bin/sh
# Ships the game's font: Comic Neue Regular from Debian's fonts-comic-neue
# (SIL Open Font License), drawn a little smaller (see font.py), under the
# name the programs open, with its licence.
set -eu
cd "$(dirname "$0")/.."
/usr/bin/python3 tools/font.py /usr/share/fonts/opentype/comic-neue/ComicNeue-Regular.otf \
  assets/Police/comic.ttf
cp /usr/share/doc/fonts-comic-neue/copyright assets/Police/LICENSE-ComicNeue.txt
