#!/bin/sh
# Ships the game's font: Comic Neue Regular from Debian's fonts-comic-neue
# (SIL Open Font License), under the name the programs open, with its licence.
set -eu
cd "$(dirname "$0")/.."
cp /usr/share/fonts/opentype/comic-neue/ComicNeue-Regular.otf assets/Police/comic.ttf
cp /usr/share/doc/fonts-comic-neue/copyright assets/Police/LICENSE-ComicNeue.txt
