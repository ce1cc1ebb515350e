#!/bin/sh
# The unpacked package in Xvfb: the menu; a level drawn in the editor, put into play with
# glouto-niveau, its walls in the game; the player's files kept. Usage: launcher_play_test.sh DIR
set -u
package=$1 root=$1/root tmp=$(mktemp -d) xvfb= program=
for tool in Xvfb xdotool import convert; do command -v "$tool" >/dev/null || { echo "$tool missing"; exit 1; }; done
trap 'kill $program $xvfb 2>/dev/null; rm -rf "$tmp"' EXIT
. "$(dirname "$0")/check.sh"
# The display's number, written once ready; -noreset: no reset refusing clients as the last leaves.
mkfifo "$tmp/display"
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" & xvfb=$!
read -r display <"$tmp/display"
[ -n "${display:-}" ] || { echo "Xvfb did not start:"; cat "$tmp/xvfb.log"; exit 1; }
export DISPLAY=":$display" SDL_AUDIODRIVER=dummy HOME="$tmp/home" && mkdir -p "$tmp/home" && unset XDG_DATA_HOME
shipped=$root/usr/share/games/glouto levels=$HOME/.local/share/glouto/Niveaux grey="150 150 150"
deadline=$(($(date +%s) + ${GLOUTO_E2E_BUDGET:-100}))
until_true() {  # polls "$@" while the program lives
  while [ "$(date +%s)" -le "$deadline" ]; do
    "$@" && return 0
    kill -0 "$program" 2>/dev/null || { echo "the program ended early" >>"$tmp/ended.log"; return 1; }
    sleep 0.1
  done
  return 1
}
found() { w=$(xdotool search --name "$1" 2>/dev/null | tail -n1) && [ -n "$w" ]; }  # sets w
mean_rgb() {  # "r g b" of a picture after convert's options, every channel rounded
  convert "$@" -alpha off -colorspace sRGB -type TrueColor \
    -format '%[fx:round(255*mean.r)] %[fx:round(255*mean.g)] %[fx:round(255*mean.b)]' info:
}
box_is() {  # box_is WINDOW X Y W H "r g b": every channel within 12
  import -window "$1" "$tmp/shot.png" 2>/dev/null || return 1
  set -- $(mean_rgb "$tmp/shot.png" -crop "$4x$5+$2+$3" +repage 2>/dev/null) $6
  [ $# -eq 6 ] && for d in $(($1 - $4)) $(($2 - $5)) $(($3 - $6)); do [ "${d#-}" -le 12 ] || return 1; done
}
must() {  # must NAME CONDITION...: a step the next ones build on
  name=$1 && shift && until_true "$@"; r=$?
  check "$name" 0 $r
  [ $r -ne 0 ] || return 0
  import -window root "$package/failed-screen.png" 2>/dev/null && echo "last screen: $package/failed-screen.png"
  cat "$tmp"/*.log; exit 1
}
start() { "$root/usr/games/$1" >"$tmp/$1.log" 2>&1 & program=$!; }
stop() { kill "$program" 2>/dev/null; wait "$program" 2>/dev/null; program=; }
click() { xdotool mousemove --window "$w" $1 $2 click 1; }
# Xvfb's pointer starts mid-screen, where a centred window has "1 joueur": lit.
xdotool mousemove 0 0
start glouto
must "the game's window shows" found Bienvenue
must "the game's menu offers 1 joueur" box_is "$w" 330 305 10 8 "$grey"
stop
check "the shipped levels seeded" "" "$(for l in "$shipped"/Niveaux/Niveau_[0-9]*.txt; do cmp -s "$l" "$levels/${l##*/}" || echo "$l"; done)"
# Three walls for level 1 (600 wide), none of the shipped level 1's, saved on Return.
start glouto-editeur
must "the editor's window shows" found "Editeur de Niveaux"
must "the editor asks for the level (Niveau 1 plate)" box_is "$w" 240 132 8 8 "$grey"
click 200 120
must "the editor shows the grid" box_is "$w" 27 27 21 21 "0 0 0"
for at in "110 110" "137 212" "599 599"; do click $at; done
xdotool key Return
must "the editor saves on Return" test -s "$levels/Niveau_.txt"
stop
drawn=$(printf '3\n100\t100\n125\t200\n575\t575\n')
grep -qE "^(100.100|125.200|575.575).?$" "$shipped/Niveaux/Niveau_1.txt"; check "not the shipped walls" 1 $?
check "the saved level holds the walls clicked, on their cells" "$drawn" "$(cat "$levels/Niveau_.txt")"
"$root/usr/games/glouto-niveau" 1 --force >"$tmp/niveau.log" 2>&1; check "glouto-niveau 1 --force installs it" 0 $?
# Level 1 from the menu's "1 joueur" (90 x 40 at (255, 275)), Return on the level-start screen.
start glouto
must "the game's window shows again" found Bienvenue  # its number kept: the caption changes in play
must "the menu offers 1 joueur" box_is "$w" 330 305 10 8 "$grey"
click 300 295
must "the level-start screen shows" box_is "$w" 350 390 10 8 "$grey"
xdotool mousemove --window "$w" 10 580 key Return
wall=$(mean_rgb "$shipped/Images/Mur.png" -background white -flatten -resize '25x25!')
for cell in "100 100" "125 200" "575 575"; do
  until_true box_is "$w" $cell 25 25 "$wall"; check "the game draws the wall at ($cell)" 0 $?
done
stop
check "the installed level and the editor's save stay" "$drawn$drawn" \
  "$(cat "$levels/Niveau_1.txt")$(cat "$levels/Niveau_.txt")"
[ "$failures" -eq 0 ]
