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
root=$tmp/root
lib=$root/usr/lib/games/glouto
shipped=$root/usr/share/games/glouto
mkdir -p "$root/usr/games" "$lib" "$shipped/Images" "$shipped/Police" "$shipped/Musique" "$shipped/Niveaux"
cp "$launchers/glouto" "$launchers/glouto-editeur" "$root/usr/games/"
for program in game editor; do
  cat >"$lib/$program" <<STANDIN
#!/bin/sh
{ echo "\$PWD"; echo "\$*"; cat Police/font 2>/dev/null; } >"\$HOME/$program.ran"
[ -z "\${STANDIN_SAVE:-}" ] || printf '%b' "\$STANDIN_SAVE" >Niveaux/Niveau_.txt
exit \${STANDIN_EXIT:-0}
STANDIN
  chmod +x "$lib/$program"
done
echo shipped-font >"$shipped/Police/font"
echo manual >"$shipped/Readme.html"
printf '1\n0\t0\n' >"$shipped/Niveaux/Niveau_1.txt"
printf '1\n25\t0\n' >"$shipped/Niveaux/Niveau_2.txt"
chmod 444 "$shipped/Niveaux/"*

export HOME="$tmp/home"
mkdir -p "$HOME"
unset XDG_DATA_HOME SDL_VIDEODRIVER
export DISPLAY=:4242  # never opened: the stand-ins draw nothing
data=$HOME/.local/share/glouto

"$root/usr/games/glouto" one two >"$tmp/out" 2>&1
check "first launch succeeds" 0 $?
check "game runs in the player's folder" "$data" "$(sed -n 1p "$HOME/game.ran")"
check "arguments reach the game" "one two" "$(sed -n 2p "$HOME/game.ran")"
check "the game reads the shipped font through its link" shipped-font "$(sed -n 3p "$HOME/game.ran")"
for item in Images Police Musique Readme.html; do
  [ -L "$data/$item" ]; check "$item is a link" 0 $?
  check "$item points at the shipped one" "$(readlink -f "$shipped/$item")" "$(readlink -f "$data/$item")"
done
[ -d "$data/Niveaux" ] && [ ! -L "$data/Niveaux" ]; check "Niveaux is the player's own folder" 0 $?
for level in Niveau_1.txt Niveau_2.txt; do
  cmp -s "$shipped/Niveaux/$level" "$data/Niveaux/$level"; check "$level seeded" 0 $?
  [ -w "$data/Niveaux/$level" ] && [ ! -L "$data/Niveaux/$level" ]
  check "$level is a writable copy" 0 $?
done

# The player's own changes survive the next launch; what they lack comes back.
printf '1\n500\t500\n' >"$data/Niveaux/Niveau_1.txt"
printf '1\n50\t100\n' >"$data/Niveaux/Niveau_.txt"
printf '1\n75\t100\n' >"$data/Niveaux/Niveau_7.txt"
rm "$data/Niveaux/Niveau_2.txt" "$data/Police" "$data/Images"
mkdir "$data/Images" && echo mine >"$data/Images/mine.png"
ln -sfn "$tmp/old-install/Musique" "$data/Musique"
printf '1\n0\t75\n' >"$shipped/Niveaux/Niveau_3.txt"
"$root/usr/games/glouto" >"$tmp/out" 2>&1
check "second launch succeeds" 0 $?
check "player's level 1 kept" "$(printf '1\n500\t500')" "$(cat "$data/Niveaux/Niveau_1.txt")"
check "player's saved level kept" "$(printf '1\n50\t100')" "$(cat "$data/Niveaux/Niveau_.txt")"
check "player's level 7 kept" "$(printf '1\n75\t100')" "$(cat "$data/Niveaux/Niveau_7.txt")"
cmp -s "$shipped/Niveaux/Niveau_2.txt" "$data/Niveaux/Niveau_2.txt"; check "deleted level seeded again" 0 $?
cmp -s "$shipped/Niveaux/Niveau_3.txt" "$data/Niveaux/Niveau_3.txt"; check "newly shipped level seeded" 0 $?
check "player's own Images folder kept" mine "$(cat "$data/Images/mine.png")"
check "removed font link restored" "$(readlink -f "$shipped/Police")" "$(readlink -f "$data/Police")"
check "stale music link follows the install" "$(readlink -f "$shipped/Musique")" "$(readlink -f "$data/Musique")"

# The editor shares the folder and needs no music.
rm -rf "$shipped/Musique"
"$root/usr/games/glouto-editeur" >"$tmp/out" 2>&1
check "editor starts without the music" 0 $?
check "editor runs in the player's folder" "$data" "$(sed -n 1p "$HOME/editor.ran")"
"$root/usr/games/glouto" >"$tmp/out" 2>&1
check "game refuses an install without music" 2 $?
grep -q Musique "$tmp/out"; check "and names what is missing" 0 $?
mkdir "$shipped/Musique"

# glouto-editeur N opens the player's level N; a save becomes level N once it
# passes glouto-niveau's checks, the level it replaces kept as .~1~.
cp "$launchers/glouto-niveau" "$root/usr/games/"
level2() { cat "$data/Niveaux/Niveau_2.txt${1:-}"; }
old2=$(level2) new2=$(printf '2\n0\t0\n675\t575')
"$root/usr/games/glouto-editeur" 2 >"$tmp/out" 2>&1
check "level 2 opened, nothing saved: nothing changes" "0 Niveaux/Niveau_2.txt $old2" \
  "$? $(sed -n 2p "$HOME/editor.ran") $(level2)"
STANDIN_SAVE="$new2\n" "$root/usr/games/glouto-editeur" --zoom 2 2 >"$tmp/out" 2>&1
check "a save put into play" "0 --zoom 2 Niveaux/Niveau_2.txt" "$? $(sed -n 2p "$HOME/editor.ran")"
check "level 2 is the save, the old one its .~1~" "$new2 $old2" "$(level2) $(level2 .~1~)"
STANDIN_SAVE='1\n700\t0\n' "$root/usr/games/glouto-editeur" 2 >"$tmp/out" 2>&1
check "a wall outside level 2's window refused as glouto-niveau refuses it" 6 $?
check "refused: level 2 and its .~1~ unchanged" "$new2 $old2" "$(level2) $(level2 .~1~)"
"$root/usr/games/glouto-editeur" 100 >"$tmp/out" 2>&1
check "level 100 refused" 2 $?

STANDIN_EXIT=5 "$root/usr/games/glouto" >"$tmp/out" 2>&1
check "the game's exit code comes through" 5 $?

# Started through a link, as from another bin folder.
ln -s "$root/usr/games/glouto" "$tmp/glouto-link"
"$tmp/glouto-link" >"$tmp/out" 2>&1
check "started through a link" 0 $?

export XDG_DATA_HOME="$tmp/xdg"
"$root/usr/games/glouto" >"$tmp/out" 2>&1
check "absolute XDG_DATA_HOME used" "$tmp/xdg/glouto" "$(sed -n 1p "$HOME/game.ran")"
cmp -s "$shipped/Niveaux/Niveau_1.txt" "$tmp/xdg/glouto/Niveaux/Niveau_1.txt"; check "levels seeded there" 0 $?
export XDG_DATA_HOME=relative/data
(cd "$tmp" && "$root/usr/games/glouto" >"$tmp/out" 2>&1)
check "relative XDG_DATA_HOME ignored" "$data" "$(sed -n 1p "$HOME/game.ran")"
unset XDG_DATA_HOME

# Refusals, each with a message and its own code.
(unset DISPLAY; "$root/usr/games/glouto" >"$tmp/out" 2>&1)
check "no display" 1 $?
grep -q DISPLAY "$tmp/out"; check "no display: explained" 0 $?
(unset DISPLAY; SDL_VIDEODRIVER=dummy "$root/usr/games/glouto" >"$tmp/out" 2>&1)
check "no display needed for another video driver" 0 $?
mv "$lib/game" "$lib/game.away"
"$root/usr/games/glouto" >"$tmp/out" 2>&1
check "game program missing" 2 $?
grep -q "$lib/game" "$tmp/out"; check "program missing: explained" 0 $?
mv "$lib/game.away" "$lib/game"
mv "$shipped/Images" "$shipped/Images.away"
"$root/usr/games/glouto-editeur" >"$tmp/out" 2>&1
check "pictures missing" 2 $?
mv "$shipped/Images.away" "$shipped/Images"
(unset HOME; "$root/usr/games/glouto" >"$tmp/out" 2>&1)
check "no HOME" 3 $?
HOME=$tmp/blocked
mkdir -p "$HOME/.local/share" && echo file >"$HOME/.local/share/glouto"
"$root/usr/games/glouto" >"$tmp/out" 2>&1
check "player folder cannot be made" 3 $?
[ -s "$tmp/out" ]; check "player folder: explained" 0 $?

[ "$failures" -eq 0 ]
