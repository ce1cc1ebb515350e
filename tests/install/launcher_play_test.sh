#!/bin/sh
# The unpacked package as a player uses it, under a virtual X display: the
# menu appears, the editor opens, a saved level goes into play with
# glouto-niveau, and a second launch keeps the player's files.
# Usage: launcher_play_test.sh PACKAGE_DIR HAS_GAME HAS_EDITOR
set -u
root=$1/root
if [ "$2" != 1 ] || [ "$3" != 1 ]; then
  echo "the game and the editor are not built yet: nothing to play"
  exit 77
fi
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool missing (./glouto.sh test installs it)"; exit 77; }
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
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    echo "ok   $1"
  else
    echo "FAIL $1: expected '$2', got '$3'"
    failures=$((failures + 1))
  fi
}

# Xvfb picks a free display itself and tells which.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
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

# Waits, up to 30 s, for a window whose title holds $1 while the program lives.
window_appears() {
  n=0
  while [ $n -lt 300 ]; do
    xdotool search --name "$1" >/dev/null 2>&1 && return 0
    kill -0 "$program" 2>/dev/null || return 1
    sleep 0.1
    n=$((n + 1))
  done
  return 1
}

stop_program() {
  kill "$program" 2>/dev/null
  wait "$program" 2>/dev/null
  program=
}

"$root/usr/games/glouto" >"$tmp/game1.log" 2>&1 &
program=$!
window_appears "Bienvenue"; check "the game's menu appears" 0 $?
stop_program
for level in "$shipped"/Niveaux/Niveau_[0-9]*.txt; do
  cmp -s "$level" "$data/Niveaux/${level##*/}"; check "${level##*/} seeded" 0 $?
done

"$root/usr/games/glouto-editeur" >"$tmp/editor.log" 2>&1 &
program=$!
window_appears "Editeur de Niveaux"; check "the editor opens" 0 $?
stop_program

# A level as the editor saves it for the 700-pixel window, put into play as level 2.
printf '3\n0\t0\n675\t575\n350\t275\n' >"$data/Niveaux/Niveau_.txt"
"$root/usr/games/glouto-niveau" 2 --force >"$tmp/niveau.log" 2>&1
check "glouto-niveau installs it" 0 $?
cmp -s "$data/Niveaux/Niveau_.txt" "$data/Niveaux/Niveau_2.txt"; check "it is the game's level 2" 0 $?
printf '1\n100\t100\n' >"$data/Niveaux/Niveau_.txt"
"$root/usr/games/glouto-niveau" 2 >"$tmp/niveau.log" 2>&1
check "a second install without --force is refused" 8 $?
check "level 2 unchanged" "$(printf '3\n0\t0\n675\t575\n350\t275')" "$(cat "$data/Niveaux/Niveau_2.txt")"

"$root/usr/games/glouto" >"$tmp/game2.log" 2>&1 &
program=$!
window_appears "Bienvenue"; check "the menu appears again" 0 $?
stop_program
check "the installed level stays" "$(printf '3\n0\t0\n675\t575\n350\t275')" "$(cat "$data/Niveaux/Niveau_2.txt")"
check "the editor's save stays" "$(printf '1\n100\t100')" "$(cat "$data/Niveaux/Niveau_.txt")"

if [ "$failures" -ne 0 ]; then
  for log in "$tmp"/*.log; do echo "== $log"; cat "$log"; done
fi
[ "$failures" -eq 0 ]
