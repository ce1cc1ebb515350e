#!/bin/sh
# The launchers' preparation of the player's folder, with stand-in programs
# that record where and how they were started, so it runs without X.
# Usage: launcher_prepare_test.sh BUILD_DIR_OF_LAUNCHERS
set -u
launchers=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
. "$(dirname "$0")/check.sh"

# An installed tree as the package lays it out, with stand-in programs.
bin=$tmp/root/usr/games lib=$tmp/root/usr/lib/games/glouto shipped=$tmp/root/usr/share/games/glouto
mkdir -p "$bin" "$lib" "$shipped/Images" "$shipped/Police" "$shipped/Musique" "$shipped/Niveaux"
cp "$launchers/glouto" "$launchers/glouto-editeur" "$launchers/glouto-niveau" "$bin/"
for program in game editor; do
  printf '#!/bin/sh\n{ echo "$PWD"; echo "$*"; cat Police/font; } >"$HOME/%s.ran" 2>/dev/null
[ -z "${SAVE:-}" ] || printf "%%b" "$SAVE" >Niveaux/Niveau_.txt\nexit ${CODE:-0}\n' "$program" >"$lib/$program"
  chmod +x "$lib/$program"
done
echo shipped-font >"$shipped/Police/font"
echo manual >"$shipped/Readme.html"
printf '1\n0\t0\n' >"$shipped/Niveaux/Niveau_1.txt"
printf '1\n25\t0\n' >"$shipped/Niveaux/Niveau_2.txt"
chmod 444 "$shipped/Niveaux/"*
export HOME="$tmp/home" DISPLAY=:4242  # never opened: the stand-ins draw nothing
unset XDG_DATA_HOME SDL_VIDEODRIVER
mkdir -p "$HOME"
data=$HOME/.local/share/glouto real=$(cd "$shipped" && pwd -P)
run() { "$@" >"$tmp/out" 2>&1; echo $?; }
ran() { sed -n "$2p" "$HOME/$1.ran"; }
same() { cmp -s "$1" "$2" && echo same; }

check "first launch" 0 "$(run "$bin/glouto" one two)"
check "in the player's folder, with the arguments, the font through its link" \
  "$data|one two|shipped-font" "$(ran game 1)|$(ran game 2)|$(ran game 3)"
for item in Images Police Musique Readme.html; do
  check "$item linked" "$real/$item" "$(readlink "$data/$item")"
done
for level in Niveau_1.txt Niveau_2.txt; do
  [ -w "$data/Niveaux/$level" ] && [ ! -L "$data/Niveaux/$level" ] && cmp -s "$shipped/Niveaux/$level" "$data/Niveaux/$level"
  check "$level a writable copy" 0 $?
done
# The player's own changes survive the next launch; what they lack comes back.
echo mine >"$data/Niveaux/Niveau_1.txt"
rm "$data/Niveaux/Niveau_2.txt" "$data/Police" "$data/Images"
mkdir "$data/Images" && echo mine >"$data/Images/mine.png"
ln -sfn "$tmp/old-install/Musique" "$data/Musique"
printf '1\n0\t75\n' >"$shipped/Niveaux/Niveau_3.txt"
check "second launch" 0 "$(run "$bin/glouto")"
check "player's level and pictures kept" "mine mine" "$(cat "$data/Niveaux/Niveau_1.txt" "$data/Images/mine.png" | xargs)"
check "deleted and new levels seeded" "same same" \
  "$(same "$shipped/Niveaux/Niveau_2.txt" "$data/Niveaux/Niveau_2.txt") $(same "$shipped/Niveaux/Niveau_3.txt" "$data/Niveaux/Niveau_3.txt")"
check "removed and stale links follow the install" "$real/Police $real/Musique" \
  "$(readlink "$data/Police") $(readlink "$data/Musique")"

# glouto-editeur N opens the player's level N; a save becomes level N once it
# passes glouto-niveau's checks, the level it replaces kept as .~1~.
levels() { cat "$data/Niveaux/Niveau_2.txt" "$data/Niveaux/Niveau_2.txt.~1~" 2>/dev/null | xargs; }
old=$(levels)
check "level 2 opened, nothing saved" "0 Niveaux/Niveau_2.txt $old" "$(run "$bin/glouto-editeur" 2) $(ran editor 2) $(levels)"
check "a save put into play, the old level its .~1~" "0 --zoom 2 Niveaux/Niveau_2.txt 2 0 0 675 575 $old" \
  "$(SAVE='2\n0\t0\n675\t575\n' run "$bin/glouto-editeur" --zoom 2 2) $(ran editor 2) $(levels)"
check "a wall outside level 2 refused, nothing changed" "6 2 0 0 675 575 $old" \
  "$(SAVE='1\n700\t0\n' run "$bin/glouto-editeur" 2) $(levels)"
check "level 100 refused" 2 "$(run "$bin/glouto-editeur" 100)"

check "the game's exit code comes through" 5 "$(CODE=5 run "$bin/glouto")"
ln -s "$bin/glouto" "$tmp/link"
check "started through a link" 0 "$(run "$tmp/link")"
check "absolute XDG_DATA_HOME used" "0 $tmp/xdg/glouto" "$(XDG_DATA_HOME=$tmp/xdg run "$bin/glouto") $(ran game 1)"
check "relative XDG_DATA_HOME ignored" "0 $data" "$(XDG_DATA_HOME=rel run "$bin/glouto") $(ran game 1)"
# Refusals, each with its own code and a message naming what is wrong.
check "no display" "1 DISPLAY" "$(DISPLAY= run "$bin/glouto") $(grep -o DISPLAY "$tmp/out")"
check "no display needed by another driver" 0 "$(DISPLAY= SDL_VIDEODRIVER=dummy run "$bin/glouto")"
mv "$lib/game" "$tmp/game"
check "game missing" "2 $lib/game" "$(run "$bin/glouto") $(grep -o "$lib/game" "$tmp/out")"
mv "$tmp/game" "$lib/game"
mv "$shipped/Musique" "$tmp/Musique"
check "music missing: the editor starts, the game does not" "0 2 Musique" \
  "$(run "$bin/glouto-editeur") $(run "$bin/glouto") $(grep -o Musique "$tmp/out" | head -n1)"
mv "$tmp/Musique" "$shipped/Musique"
mv "$shipped/Images" "$tmp/Images"
check "pictures missing" 2 "$(run "$bin/glouto-editeur")"
mv "$tmp/Images" "$shipped/Images"
check "no HOME" 3 "$(HOME= run env -u HOME "$bin/glouto")"
mkdir -p "$tmp/blocked/.local/share" && echo file >"$tmp/blocked/.local/share/glouto"
check "player's folder cannot be made" 3 "$(HOME=$tmp/blocked run "$bin/glouto")"
[ "$failures" -eq 0 ]
