#!/bin/sh
# The player's commands as packaged, without X: what glouto-niveau installs or refuses, how the
# launchers prepare the player's folder and start stand-ins. Usage: commands_test.sh BUILD_DIR
set -u
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
. "$(dirname "$0")/check.sh"
bin=$tmp/root/usr/games lib=$tmp/root/usr/lib/games/glouto shipped=$tmp/root/usr/share/games/glouto
mkdir -p "$bin" "$lib" "$shipped/Images" "$shipped/Police" "$shipped/Musique" "$shipped/Niveaux" \
  "$tmp/xdg/glouto/Niveaux" "$tmp/friend/glouto/Niveaux" "$tmp/launched"
cp "$1/glouto" "$1/glouto-editeur" "$1/glouto-niveau" "$bin/"
for program in game editor; do
  printf '#!/bin/sh\n{ echo "$PWD"; echo "$*"; cat Police/font; } >"$HOME/%s.ran" 2>/dev/null
[ -z "${SAVE:-}" ] || printf "%%b" "$SAVE" >Niveaux/Niveau_.txt\nexit ${CODE:-0}\n' "$program" >"$lib/$program"
  chmod +x "$lib/$program"
done
echo shipped-font >"$shipped/Police/font" && echo manual >"$shipped/Readme.html"
printf '1\n0\t0\n' >"$shipped/Niveaux/Niveau_1.txt"
printf '1\n25\t0\n' >"$shipped/Niveaux/Niveau_2.txt"
printf '1\n100\t0\n' >"$shipped/Niveaux/Niveau_4.txt"
chmod 444 "$shipped/Niveaux/"*
# The launchers' player (glouto-niveau's has its own home); the display is never opened.
export HOME="$tmp/launched" DISPLAY=:4242
unset XDG_DATA_HOME SDL_VIDEODRIVER
umask 022
levels=$tmp/home/.local/share/glouto/Niveaux data=$HOME/.local/share/glouto real=$(cd "$shipped" && pwd -P)
run() { "$@" >"$tmp/out" 2>"$tmp/err"; echo $?; }  # the exit code
niveau() { HOME="$tmp/home" "$bin/glouto-niveau" "$@" >"$tmp/out" 2>"$tmp/err"; echo $?; }
said() { grep -c -- "$1" "$tmp/err"; }
save() { printf "$1" >"${2:-$levels}/Niveau_.txt"; }
put() { save "${1#* }"; niveau "${1%% *}"; }  # put "LEVEL TEXT"
level() { tr '\n\t' '/,' <"$levels/Niveau_$1"; }
copy() { [ -w "$data/Niveaux/$1" ] && [ ! -L "$data/Niveaux/$1" ] && same "$shipped/Niveaux/$1" "$data/Niveaux/$1"; }
levels() { cat "$data/Niveaux/Niveau_2.txt" "$data/Niveaux/Niveau_2.txt.~1~" 2>/dev/null | xargs; }
rows <<'ROWS'
no player folder, then no level folder: said in French|3 9 0|echo $(niveau 2) $(mkdir -p "${levels%/*}"; niveau 2 AQABAAA) $(said 'No such')
no saved level, the file named|3 1|mkdir "$levels"; echo $(niveau 2) $(said Niveau_.txt)
usage refused and explained||for args in "" 0 100 "--partager 256" -3 abc "2 3" 2x "--forse 2"; do [ "$(niveau $args)" = 2 ] && [ -s "$tmp/err" ] || echo "'$args'"; done
a level installed byte for byte, for all to read, the save kept, named|0 same 644 yes 1|save '2\n0\t0\n675\t575\n'; echo $(niveau 2) $(same "$levels/Niveau_.txt" "$levels/Niveau_2.txt") $(stat -c %a "$levels/Niveau_2.txt") $(has "$levels/Niveau_.txt") $(grep -c Niveau_2.txt "$tmp/out")
an existing level refused, untouched, --force told|8 2/0,0/675,575/ 1|save '1\n100\t100\n'; echo $(niveau 2) $(level 2.txt) $(said -- --force)
--force replaces it|0 same|echo $(niveau --force 2) $(same "$levels/Niveau_.txt" "$levels/Niveau_2.txt")
a dangling link counts as an existing level|8|ln -s nowhere "$levels/Niveau_3.txt"; niveau 3; rm "$levels/Niveau_3.txt"
# Faulty saves ("LEVEL TEXT"): each its own code, explained, nothing installed (from 11: 1000 wide).
a space for a tab, a count that lies, no final line break|4 1 no 4 1 no 4 1 no|for s in '11 1\n0 0\n' '12 3\n0\t0\n' '13 1\n0\t0'; do echo $(put "$s") $(said .) $(has "$levels/Niveau_${s%% *}.txt"); done | xargs
walls outside the widest window, on its last cell, off the grid, on the hero's and enemies' starts, outside level 1|6 0 6 7 7 6|for s in '20 1\n1000\t0\n' '20 1\n975\t575\n' '21 1\n12\t0\n' '21 1\n500\t325\n' '21 1\n50\t25\n' '1 1\n675\t0\n'; do put "$s"; done | xargs
more than 1000 walls, nothing installed|5 no|save "1001\n$(printf '0\\t0\\n%.0s' $(seq 1001))"; echo $(niveau 22) $(has "$levels/Niveau_22.txt")
XDG_DATA_HOME used when absolute only|0 yes 0 yes|save '1\n0\t0\n' "$tmp/xdg/glouto/Niveaux"; echo $(XDG_DATA_HOME=$tmp/xdg niveau 5) $(has "$tmp/xdg/glouto/Niveaux/Niveau_5.txt") $(save '1\n0\t0\n'; cd "$tmp"; XDG_DATA_HOME=xdg niveau 6) $(has "$levels/Niveau_6.txt")
# A level shared from a friend's folder to the player's, as a whole link.
--partager prints a code|0 1|save '2\n0\t0\n675\t575\n' "$tmp/friend/glouto/Niveaux"; cp "$tmp/friend/glouto/Niveaux/Niveau_.txt" "$tmp/friend/glouto/Niveaux/Niveau_2.txt"; XDG_DATA_HOME=$tmp/friend "$bin/glouto-niveau" --partager 2 >"$tmp/code"; echo $? $(wc -l <"$tmp/code")
the link installs the sender's bytes|0 same|printf '1\n150\t0\n' >"$levels/Niveau_4.txt"; echo $(niveau 4 "https://glouto.example/jeu.html#$(cat "$tmp/code")") $(same "$tmp/friend/glouto/Niveaux/Niveau_2.txt" "$levels/Niveau_4.txt")
a 700-wide level refused as level 1, naming the code's level, never a line|6 1 0|echo $(niveau 1 "$(cat "$tmp/code")") $(said 'ce code est celui du niveau 2 (700 px de large)') $(said ligne)
a code cut short, nothing installed|10 no|code=$(cat "$tmp/code"); echo $(niveau 3 "${code%?}") $(has "$levels/Niveau_3.txt")
no level 40 to share|3|niveau --partager 40
# Every level the player had at 4 comes back: theirs, the code's, the shipped one.
a second install, then the shipped level 4 put back|0 0 1/100,0/|save '1\n0\t50\n'; echo $(niveau 4 --force) $(niveau --retablir 4) $(level 4.txt)
each replaced level kept in turn|1/150,0/ 2/0,0/675,575/ 1/0,50/|echo $(level 4.txt.~1~) $(level 4.txt.~2~) $(level 4.txt.~3~)
first launch, in the player's folder, with the arguments, the font through its link|0 $data:one two:shipped-font:|echo $(run "$bin/glouto" one two) "$(tr '\n' : <"$HOME/game.ran")"
folders and manual linked|$real/Images $real/Police $real/Musique $real/Readme.html|for i in Images Police Musique Readme.html; do readlink "$data/$i"; done | xargs
levels are writable copies|same same|echo $(copy Niveau_1.txt) $(copy Niveau_2.txt)
# The player's own changes survive the next launch; what they lack comes back.
second launch|0|echo mine >"$data/Niveaux/Niveau_1.txt"; rm "$data/Niveaux/Niveau_2.txt" "$data/Police" "$data/Images"; mkdir "$data/Images" && echo mine >"$data/Images/mine.png"; ln -sfn "$tmp/old-install/Musique" "$data/Musique"; printf '1\n0\t75\n' >"$shipped/Niveaux/Niveau_3.txt"; run "$bin/glouto"
player's level and pictures kept|mine mine|cat "$data/Niveaux/Niveau_1.txt" "$data/Images/mine.png" | xargs
deleted and new levels seeded|same same|echo $(copy Niveau_2.txt) $(copy Niveau_3.txt)
removed and stale links follow the install|$real/Police $real/Musique|echo $(readlink "$data/Police") $(readlink "$data/Musique")
# glouto-editeur N opens level N; a save passing glouto-niveau's checks replaces it, kept as .~1~.
level 2 opened, nothing saved|0 Niveaux/Niveau_2.txt 1 25 0|echo $(run "$bin/glouto-editeur" 2) $(sed -n 2p "$HOME/editor.ran") $(levels)
a save put into play, the old level its .~1~|0 --zoom 2 Niveaux/Niveau_2.txt 2 0 0 675 575 1 25 0|echo $(SAVE='2\n0\t0\n675\t575\n' run "$bin/glouto-editeur" --zoom 2 2) "$(sed -n 2p "$HOME/editor.ran")" $(levels)
a wall outside level 2 refused, nothing changed|6 2 0 0 675 575 1 25 0|echo $(SAVE='1\n700\t0\n' run "$bin/glouto-editeur" 2) $(levels)
level 100 refused|2|run "$bin/glouto-editeur" 100
the game's exit code comes through, started through a link too|5 0|echo $(CODE=5 run "$bin/glouto") $(ln -s "$bin/glouto" "$tmp/link"; run "$tmp/link")
XDG_DATA_HOME used when absolute only|0 $tmp/xdg/glouto 0 $data|echo $(XDG_DATA_HOME=$tmp/xdg run "$bin/glouto") $(sed -n 1p "$HOME/game.ran") $(XDG_DATA_HOME=rel run "$bin/glouto") $(sed -n 1p "$HOME/game.ran")
# Refusals, each with its own code and a message naming what is wrong.
no display|1 1|echo $(DISPLAY= run "$bin/glouto") $(said DISPLAY)
no display needed by another driver|0|DISPLAY= SDL_VIDEODRIVER=dummy run "$bin/glouto"
game missing|2 1|mv "$lib/game" "$tmp/game"; echo $(run "$bin/glouto") $(said "$lib/game"); mv "$tmp/game" "$lib/game"
music missing: the editor starts, the game does not; pictures missing: not the editor|0 2 1 2|mv "$shipped/Musique" "$tmp/Musique"; echo $(run "$bin/glouto-editeur") $(run "$bin/glouto") $(said Musique) $(mv "$tmp/Musique" "$shipped/Musique"; mv "$shipped/Images" "$tmp/Images"; run "$bin/glouto-editeur"); mv "$tmp/Images" "$shipped/Images"
no HOME, or the player's folder cannot be made|3 3|echo $(HOME= run env -u HOME "$bin/glouto") $(mkdir -p "$tmp/blocked/.local/share" && echo file >"$tmp/blocked/.local/share/glouto"; HOME=$tmp/blocked run "$bin/glouto")
ROWS
[ "$(id -u)" -eq 0 ] || echo "unwritable level folder|9|chmod a-w \"\$levels\"; niveau 7; chmod u+w \"\$levels\"" | rows
[ "$failures" -eq 0 ]
