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
ran() { tr '\n' : <"$HOME/$1.ran"; }  # where: with what: the font read:
copy() { [ -w "$data/Niveaux/$1" ] && [ ! -L "$data/Niveaux/$1" ] && same "$shipped/Niveaux/$1" "$data/Niveaux/$1"; }
levels() { cat "$data/Niveaux/Niveau_2.txt" "$data/Niveaux/Niveau_2.txt.~1~" 2>/dev/null | xargs; }
said() { grep -o "$1" "$tmp/out" | head -n1; }

rows <<'ROWS'
first launch, in the player's folder, with the arguments, the font through its link|0 $data:one two:shipped-font:|echo $(run "$bin/glouto" one two) "$(ran game)"
folders and manual linked|$real/Images $real/Police $real/Musique $real/Readme.html|for i in Images Police Musique Readme.html; do readlink "$data/$i"; done | xargs
levels are writable copies|same same|echo $(copy Niveau_1.txt) $(copy Niveau_2.txt)
# The player's own changes survive the next launch; what they lack comes back.
second launch|0|echo mine >"$data/Niveaux/Niveau_1.txt"; rm "$data/Niveaux/Niveau_2.txt" "$data/Police" "$data/Images"; mkdir "$data/Images" && echo mine >"$data/Images/mine.png"; ln -sfn "$tmp/old-install/Musique" "$data/Musique"; printf '1\n0\t75\n' >"$shipped/Niveaux/Niveau_3.txt"; run "$bin/glouto"
player's level and pictures kept|mine mine|cat "$data/Niveaux/Niveau_1.txt" "$data/Images/mine.png" | xargs
deleted and new levels seeded|same same|echo $(copy Niveau_2.txt) $(copy Niveau_3.txt)
removed and stale links follow the install|$real/Police $real/Musique|echo $(readlink "$data/Police") $(readlink "$data/Musique")
# glouto-editeur N opens the player's level N; a save becomes level N once it
# passes glouto-niveau's checks, the level it replaces kept as .~1~.
level 2 opened, nothing saved|0 Niveaux/Niveau_2.txt 1 25 0|echo $(run "$bin/glouto-editeur" 2) $(sed -n 2p "$HOME/editor.ran") $(levels)
a save put into play, the old level its .~1~|0 --zoom 2 Niveaux/Niveau_2.txt 2 0 0 675 575 1 25 0|echo $(SAVE='2\n0\t0\n675\t575\n' run "$bin/glouto-editeur" --zoom 2 2) "$(sed -n 2p "$HOME/editor.ran")" $(levels)
a wall outside level 2 refused, nothing changed|6 2 0 0 675 575 1 25 0|echo $(SAVE='1\n700\t0\n' run "$bin/glouto-editeur" 2) $(levels)
level 100 refused|2|run "$bin/glouto-editeur" 100
the game's exit code comes through|5|CODE=5 run "$bin/glouto"
started through a link|0|ln -s "$bin/glouto" "$tmp/link"; run "$tmp/link"
absolute XDG_DATA_HOME used|0 $tmp/xdg/glouto|echo $(XDG_DATA_HOME=$tmp/xdg run "$bin/glouto") $(sed -n 1p "$HOME/game.ran")
relative XDG_DATA_HOME ignored|0 $data|echo $(XDG_DATA_HOME=rel run "$bin/glouto") $(sed -n 1p "$HOME/game.ran")
# Refusals, each with its own code and a message naming what is wrong.
no display|1 DISPLAY|echo $(DISPLAY= run "$bin/glouto") $(said DISPLAY)
no display needed by another driver|0|DISPLAY= SDL_VIDEODRIVER=dummy run "$bin/glouto"
game missing|2 $lib/game|mv "$lib/game" "$tmp/game"; echo $(run "$bin/glouto") $(said "$lib/game"); mv "$tmp/game" "$lib/game"
music missing: the editor starts, the game does not|0 2 Musique|mv "$shipped/Musique" "$tmp/Musique"; echo $(run "$bin/glouto-editeur") $(run "$bin/glouto") $(said Musique); mv "$tmp/Musique" "$shipped/Musique"
pictures missing|2|mv "$shipped/Images" "$tmp/Images"; run "$bin/glouto-editeur"; mv "$tmp/Images" "$shipped/Images"
no HOME|3|HOME= run env -u HOME "$bin/glouto"
player's folder cannot be made|3|mkdir -p "$tmp/blocked/.local/share" && echo file >"$tmp/blocked/.local/share/glouto"; HOME=$tmp/blocked run "$bin/glouto"
ROWS
[ "$failures" -eq 0 ]
