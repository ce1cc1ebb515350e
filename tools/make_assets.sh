#!/bin/sh
# Regenerates everything under assets/ except the hand-written Readme.html.
# Needs Debian's python3-pil, python3-fonttools, fonts-comic-neue, sox and lame.
#   tools/make_assets.sh [CONTACT_SHEET.png]
set -eu
cd "$(dirname "$0")"
./font.sh
/usr/bin/python3 sprites.py
/usr/bin/python3 screens.py
/usr/bin/python3 instructions.py
/usr/bin/python3 levels.py
./music.sh
if [ $# -gt 0 ]; then /usr/bin/python3 contact_sheet.py "$1"; fi
