#!/bin/sh
# glouto-niveau as a player runs it: where it looks, what it installs, what it
# refuses and with which exit code. Usage: niveau_command_test.sh GLOUTO_NIVEAU
set -u
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
. "$(dirname "$0")/check.sh"
# Installed as the package lays it out, beside the levels it ships.
command=$tmp/root/usr/games/glouto-niveau
shipped=$tmp/root/usr/share/games/glouto/Niveaux
mkdir -p "${command%/*}" "$shipped" "$tmp/xdg/glouto/Niveaux" "$tmp/friend/glouto/Niveaux"
cp "$1" "$command"
printf '1\n100\t0\n' >"$shipped/Niveau_4.txt"
export HOME="$tmp/home"
unset XDG_DATA_HOME
umask 022
levels=$HOME/.local/share/glouto/Niveaux
run() { "$command" "$@" >"$tmp/out" 2>"$tmp/err"; echo $?; }  # the exit code
said() { grep -c -- "$1" "$tmp/err"; }
save() { printf "$1" >"${2:-$levels}/Niveau_.txt"; }
level() { tr '\n\t' '/,' <"$levels/Niveau_$1"; }
usage() { for args in "$@"; do [ "$(run $args)" = 2 ] && [ -s "$tmp/err" ] || echo "'$args'"; done; }

rows <<'ROWS'
no player folder yet|3|run 2
no level folder: said in French|9 0|mkdir -p "${levels%/*}"; echo $(run 2 AQABAAA) $(said 'No such')
no saved level, the file named|3 1|mkdir "$levels"; echo $(run 2) $(said Niveau_.txt)
usage refused and explained|| usage "" 0 100 "--partager 256" -3 abc "2 3" 2x "--forse 2"
help|0|run --help
a level installed byte for byte, for all to read, the save kept, named|0 same 644 yes 1|save '2\n0\t0\n675\t575\n'; echo $(run 2) $(same "$levels/Niveau_.txt" "$levels/Niveau_2.txt") $(stat -c %a "$levels/Niveau_2.txt") $(has "$levels/Niveau_.txt") $(grep -c Niveau_2.txt "$tmp/out")
an existing level refused, untouched, --force told|8 2/0,0/675,575/ 1|save '1\n100\t100\n'; echo $(run 2) $(level 2.txt) $(said -- --force)
--force replaces it|0 same|echo $(run --force 2) $(same "$levels/Niveau_.txt" "$levels/Niveau_2.txt")
a dangling link counts as an existing level|8|ln -s nowhere "$levels/Niveau_3.txt"; run 3; rm "$levels/Niveau_3.txt"
# Faulty saves: each its own code, explained, nothing installed (levels >= 11: 1000 wide).
space for a tab|4 1 no|save '1\n0 0\n'; echo $(run 11) $(said .) $(has "$levels/Niveau_11.txt")
count that lies|4 1 no|save '3\n0\t0\n'; echo $(run 12) $(said .) $(has "$levels/Niveau_12.txt")
no final line break|4 1 no|save '1\n0\t0'; echo $(run 13) $(said .) $(has "$levels/Niveau_13.txt")
wall outside the widest window|6|save '1\n1000\t0\n'; run 20
last cell of the widest window|0|save '1\n975\t575\n'; run 20
wall off the grid|6|save '1\n12\t0\n'; run 21
wall on the hero's start|7|save '1\n500\t325\n'; run 21
wall on the enemies' start|7|save '1\n50\t25\n'; run 21
level 1 is 600 wide|6|save '1\n675\t0\n'; run 1
more than 1000 walls, nothing installed|5 no|save "1001\n$(printf '0\\t0\\n%.0s' $(seq 1001))"; echo $(run 22) $(has "$levels/Niveau_22.txt")
# XDG_DATA_HOME moves the player's folder, but only when it is absolute.
XDG_DATA_HOME used|0 yes|save '1\n0\t0\n' "$tmp/xdg/glouto/Niveaux"; export XDG_DATA_HOME="$tmp/xdg"; echo $(run 5) $(has "$tmp/xdg/glouto/Niveaux/Niveau_5.txt")
relative XDG_DATA_HOME ignored|0 yes|save '1\n0\t0\n'; cd "$tmp"; export XDG_DATA_HOME=xdg; echo $(run 6) $(has "$levels/Niveau_6.txt")
# A level shared from a friend's folder to the player's, as a whole link.
--partager prints a code|0 1|save '2\n0\t0\n675\t575\n' "$tmp/friend/glouto/Niveaux"; cp "$tmp/friend/glouto/Niveaux/Niveau_.txt" "$tmp/friend/glouto/Niveaux/Niveau_2.txt"; XDG_DATA_HOME=$tmp/friend "$command" --partager 2 >"$tmp/code"; echo $? $(wc -l <"$tmp/code")
the link installs the sender's bytes|0 same|printf '1\n150\t0\n' >"$levels/Niveau_4.txt"; echo $(run 4 "https://glouto.example/jeu.html#$(cat "$tmp/code")") $(same "$tmp/friend/glouto/Niveaux/Niveau_2.txt" "$levels/Niveau_4.txt")
a 700-wide level refused as level 1, naming the code's level, never a line|6 1 0|echo $(run 1 "$(cat "$tmp/code")") $(said 'ce code est celui du niveau 2 (700 px de large)') $(said ligne)
a code cut short, nothing installed|10 no|code=$(cat "$tmp/code"); echo $(run 3 "${code%?}") $(has "$levels/Niveau_3.txt")
no level 40 to share|3|run --partager 40
# Every level the player had at 4 comes back: theirs, the code's, the shipped one.
a second install|0|save '1\n0\t50\n'; run 4 --force
the shipped level 4 put back|0 1/100,0/|echo $(run --retablir 4) $(level 4.txt)
each replaced level kept in turn|1/150,0/ 2/0,0/675,575/ 1/0,50/|echo $(level 4.txt.~1~) $(level 4.txt.~2~) $(level 4.txt.~3~)
ROWS
[ "$(id -u)" -eq 0 ] || echo "unwritable level folder|9|chmod a-w \"\$levels\"; run 7; chmod u+w \"\$levels\"" | rows
[ "$failures" -eq 0 ]
