#!/bin/sh
# The unpacked package as a player uses it, under a virtual X display: the
# menu appears; a level drawn and saved in the editor goes into play with
# glouto-niveau and its walls show up in the game; a second launch keeps the
# player's files. Usage: launcher_play_test.sh PACKAGE_DIR
set -u
package=$1
root=$package/root
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "$tool missing (./glouto.sh test installs it)"; exit 1; }
done

tmp=$(mktemp -d)
xvfb=
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
. "$(dirname "$0")/check.sh"

# Xvfb picks a free display itself and tells which. Without -noreset it
# resets when its last client leaves, and refuses the next program meanwhile.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
n=0
while [ ! -s "$tmp/display" ] && [ $n -lt 100 ]; do sleep 0.1; n=$((n + 1)); done
[ -s "$tmp/display" ] || { echo "Xvfb did not start:"; cat "$tmp/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display")"
export SDL_AUDIODRIVER=dummy
export HOME="$tmp/home"
mkdir -p "$HOME"
unset XDG_DATA_HOME
data=$HOME/.local/share/glouto
shipped=$root/usr/share/games/glouto
levels=$data/Niveaux

# Polls "$@" for up to 20 s while the program lives.
until_true() {
  deadline=$(($(date +%s) + 20))
  while [ "$(date +%s)" -le "$deadline" ]; do
    "$@" && return 0
    if ! kill -0 "$program" 2>/dev/null; then
      wait "$program"
      echo "the program ended early, exit code $?" >>"$tmp/ended.log"
      return 1
    fi
    sleep 0.1
  done
  return 1
}
window_exists() { xdotool search --name "$1" >/dev/null 2>&1; }
window_of() { xdotool search --name "$1" 2>/dev/null | tail -n1; }
# Mean colour "r g b" of a picture, after convert's options given. In RGB
# whatever the picture: ImageMagick 7 reads a grey one as one grey channel.
mean_rgb() {  # mean_rgb FILE [OPTION...]
  convert "$@" -alpha off -colorspace sRGB -type TrueColor \
    -format '%[fx:round(255*mean.r)] %[fx:round(255*mean.g)] %[fx:round(255*mean.b)]' info:
}
# Mean colour "r g b" of the W x H box at X,Y of window $1.
box_colour() {  # box_colour WINDOW X Y W H
  [ -n "$1" ] && import -window "$1" "$tmp/shot.png" 2>/dev/null &&
    mean_rgb "$tmp/shot.png" -crop "$4x$5+$2+$3" +repage 2>/dev/null
}
near() {  # near "r g b" "r g b": every channel within 12
  set -- $1 $2
  [ $# -eq 6 ] || return 1
  for d in $(($1 - $4)) $(($2 - $5)) $(($3 - $6)); do
    [ "${d#-}" -le 12 ] || return 1
  done
}
box_is() {  # box_is WINDOW X Y W H "r g b"
  near "$(box_colour "$1" "$2" "$3" "$4" "$5")" "$6"
}
click() {  # click WINDOW X Y
  xdotool mousemove --window "$1" "$2" "$3" click 1
}
# A step the next ones build on: without it the test stops, showing why.
must() {  # must NAME EXPECTED ACTUAL
  check "$@"
  [ "$2" = "$3" ] || { report; exit 1; }
}
report() {
  import -window root "$package/failed-screen.png" 2>/dev/null && echo "last screen: $package/failed-screen.png"
  for log in "$tmp"/*.log; do echo "== $log"; cat "$log"; done
}
stop_program() {
  kill "$program" 2>/dev/null
  wait "$program" 2>/dev/null
  program=
}
game=Bienvenue
editor="Editeur de Niveaux"
grey="150 150 150"

"$root/usr/games/glouto" >"$tmp/game1.log" 2>&1 &
program=$!
until_true window_exists "$game"; must "the game's menu appears" 0 $?
stop_program
for level in "$shipped"/Niveaux/Niveau_[0-9]*.txt; do
  cmp -s "$level" "$levels/${level##*/}"; check "${level##*/} seeded" 0 $?
done

# Draw three walls for level 1 (600 wide) in the editor and save them.
"$root/usr/games/glouto-editeur" >"$tmp/editor.log" 2>&1 &
program=$!
until_true window_exists "$editor"; must "the editor opens" 0 $?
window=$(window_of "$editor")
# The level-size screen: the "Niveau 1" plate, 100 x 40 at (150, 100).
until_true box_is "$window" 240 132 8 8 "$grey"; must "the editor asks for the level" 0 $?
click "$window" 200 120
# The grid is up once its reserved cells show black.
until_true box_is "$window" 27 27 21 21 "0 0 0"; must "the editor shows the grid" 0 $?
click "$window" 110 110
click "$window" 137 212
click "$window" 599 599
xdotool key Return
until_true test -s "$levels/Niveau_.txt"; must "the editor saves on Return" 0 $?
stop_program
drawn=$(printf '3\n100\t100\n125\t200\n575\t575\n')
# Walls of the shipped level 1 would prove nothing about ours.
grep -qE "^(100.100|125.200|575.575).?$" "$shipped/Niveaux/Niveau_1.txt"
check "the shipped level 1 has none of these walls" 1 $?
check "the saved level holds the walls clicked, on their cells" "$drawn" "$(cat "$levels/Niveau_.txt")"

niveau=$root/usr/games/glouto-niveau
"$niveau" 1 >"$tmp/niveau.log" 2>&1
check "the shipped level 1 is not replaced without --force" 8 $?
cmp -s "$shipped/Niveaux/Niveau_1.txt" "$levels/Niveau_1.txt"; check "level 1 still the shipped one" 0 $?
"$niveau" 1 --force >>"$tmp/niveau.log" 2>&1
check "glouto-niveau 1 --force installs it" 0 $?
cmp -s "$levels/Niveau_.txt" "$levels/Niveau_1.txt"; check "it is the game's level 1" 0 $?
"$niveau" 1 >>"$tmp/niveau.log" 2>&1
check "a second install without --force is refused" 8 $?

# Play level 1: the menu's "1 joueur" (90 x 40 at (255, 275)), then the
# level-start screen's "Commencer" (125 x 40 at (237, 360)) and Return.
"$root/usr/games/glouto" >"$tmp/game2.log" 2>&1 &
program=$!
until_true window_exists "$game"; must "the menu appears again" 0 $?
# The caption changes in play; the window stays.
window=$(window_of "$game")
until_true box_is "$window" 330 305 10 8 "$grey"; must "the menu offers 1 joueur" 0 $?
click "$window" 300 295
until_true box_is "$window" 350 390 10 8 "$grey"; must "the level-start screen shows" 0 $?
xdotool mousemove --window "$window" 10 580 key Return
wall=$(mean_rgb "$shipped/Images/Mur.png" -background white -flatten -resize '25x25!')
for cell in "100 100" "125 200" "575 575"; do
  set -- $cell
  until_true box_is "$window" "$1" "$2" 25 25 "$wall"; check "the game draws the wall at ($1, $2)" 0 $?
done
stop_program
check "the installed level stays" "$drawn" "$(cat "$levels/Niveau_1.txt")"
check "the editor's save stays" "$drawn" "$(cat "$levels/Niveau_.txt")"

[ "$failures" -eq 0 ] || report
[ "$failures" -eq 0 ]
