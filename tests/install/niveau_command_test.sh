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
mkdir -p "${command%/*}" "$shipped"
cp "$1" "$command"
printf '1\n100\t0\n' >"$shipped/Niveau_4.txt"

export HOME="$tmp/home"
unset XDG_DATA_HOME
levels=$HOME/.local/share/glouto/Niveaux
tab=$(printf '\t')

run() {  # run ARGS...: exit code in $code, messages in $tmp/out and $tmp/err
  "$command" "$@" >"$tmp/out" 2>"$tmp/err"
  code=$?
}

run 2
check "no player folder yet" 3 "$code"
mkdir -p "${levels%/*}"
run 2 AQABAAA
check "no level folder: said in French" "9 0" "$code $(grep -c 'No such' "$tmp/err")"
mkdir -p "$levels"
run 2
check "no saved level" 3 "$code"
grep -q "Niveau_.txt" "$tmp/err"; check "the message names the missing file" 0 $?

for args in "" "0" "100" "--partager 256" "-3" "abc" "2 3" "2x" "--forse 2"; do
  # shellcheck disable=SC2086
  run $args
  check "usage '$args'" 2 "$code"
  [ -s "$tmp/err" ]; check "usage '$args' explains" 0 $?
done
run --help
check "help" 0 "$code"

printf '2\n0\t0\n675\t575\n' >"$levels/Niveau_.txt"
umask 022
run 2
check "valid level installed" 0 "$code"
cmp -s "$levels/Niveau_.txt" "$levels/Niveau_2.txt"; check "installed byte for byte" 0 $?
[ -f "$levels/Niveau_.txt" ]; check "the editor's file stays" 0 $?
check "installed file is readable by all, like a save" 644 "$(stat -c %a "$levels/Niveau_2.txt")"
grep -q "Niveau_2.txt" "$tmp/out"; check "success names the level file" 0 $?

printf '1\n100\t100\n' >"$levels/Niveau_.txt"
run 2
check "existing level refused" 8 "$code"
printf '2\n0\t0\n675\t575\n' | cmp -s - "$levels/Niveau_2.txt"; check "refused level left untouched" 0 $?
grep -q -- "--force" "$tmp/err"; check "refusal tells about --force" 0 $?
run --force 2
check "--force replaces" 0 "$code"
cmp -s "$levels/Niveau_.txt" "$levels/Niveau_2.txt"; check "replaced byte for byte" 0 $?
ln -s nowhere "$levels/Niveau_3.txt"
run 3
check "a dangling link counts as an existing level" 8 "$code"
rm "$levels/Niveau_3.txt"

# Faulty saves: each has its own code, and nothing is installed.
i=10
while IFS='|' read -r name level expected text; do
  printf "$text" >"$levels/Niveau_.txt"
  i=$((i + 1))
  run "$i"
  check "$name" "$expected" "$code"
  [ ! -e "$levels/Niveau_$i.txt" ]; check "$name: nothing installed" 0 $?
  [ -s "$tmp/err" ]; check "$name: explained" 0 $?
done <<'CASES'
space for a tab|1|4|1\n0 0\n
count that lies|1|4|3\n0\t0\n
no final line break|1|4|1\n0\t0
CASES
# Levels here are all >= 11, so the window is 1000 wide.
printf '1\n1000\t0\n' >"$levels/Niveau_.txt"; run 20; check "wall outside the widest window" 6 "$code"
printf '1\n975\t575\n' >"$levels/Niveau_.txt"; run 20; check "last cell of the widest window" 0 "$code"
printf '1\n12\t0\n' >"$levels/Niveau_.txt"; run 21; check "wall off the grid" 6 "$code"
printf '1\n500\t325\n' >"$levels/Niveau_.txt"; run 21; check "wall on the hero's start" 7 "$code"
printf '1\n50\t25\n' >"$levels/Niveau_.txt"; run 21; check "wall on the enemies' start" 7 "$code"
printf '1\n675\t0\n' >"$levels/Niveau_.txt"; run 1; check "level 1 is 600 wide" 6 "$code"
{
  echo 1001
  n=0
  while [ $n -lt 1001 ]; do printf '0%s0\n' "$tab"; n=$((n + 1)); done
} >"$levels/Niveau_.txt"
run 22
check "more than 1000 walls" 5 "$code"
[ ! -e "$levels/Niveau_22.txt" ]; check "more than 1000 walls: nothing installed" 0 $?

# XDG_DATA_HOME moves the player's folder, but only when it is absolute.
mkdir -p "$tmp/xdg/glouto/Niveaux"
printf '1\n0\t0\n' >"$tmp/xdg/glouto/Niveaux/Niveau_.txt"
(export XDG_DATA_HOME="$tmp/xdg"; run 5; exit "$code")
check "XDG_DATA_HOME used" 0 $?
[ -f "$tmp/xdg/glouto/Niveaux/Niveau_5.txt" ]; check "installed under XDG_DATA_HOME" 0 $?
printf '1\n0\t0\n' >"$levels/Niveau_.txt"
(cd "$tmp" && export XDG_DATA_HOME=xdg && run 6 && exit "$code")
check "relative XDG_DATA_HOME ignored" 0 $?
[ -f "$levels/Niveau_6.txt" ]; check "installed under HOME instead" 0 $?

# A level shared from a friend's folder to the player's, as a whole link.
friend=$tmp/friend/glouto/Niveaux
mkdir -p "$friend"
printf '2\n0\t0\n675\t575\n' >"$friend/Niveau_2.txt"
printf '1\n150\t0\n' >"$levels/Niveau_4.txt"
shared=$(XDG_DATA_HOME="$tmp/friend" "$command" --partager 2)
check "--partager prints a code" "0 1" "$? $(printf '%s\n' "$shared" | wc -l)"
run 4 "https://glouto.example/jeu.html#$shared"
check "the link installs the level" 0 "$code"
cmp -s "$friend/Niveau_2.txt" "$levels/Niveau_4.txt"; check "the same bytes as the sender's file" 0 $?
run 1 "$shared"
check "a 700-wide level refused as level 1" 6 "$code"
grep -q "ce code est celui du niveau 2 (700 px de large)" "$tmp/err"
check "the refusal names the code's level, never a line" "0 0" "$? $(grep -c ligne "$tmp/err")"
run 3 "${shared%?}"
check "a code cut short" 10 "$code"
[ ! -e "$levels/Niveau_3.txt" ]; check "refused codes install nothing" 0 $?
run --partager 40
check "no level 40 to share" 3 "$code"

# Every level the player had at 4 comes back: theirs, the code's, the shipped one.
mine=$(printf '1\n150\t0')
printf '1\n0\t50\n' >"$levels/Niveau_.txt"
run 4 --force
check "a second install" 0 "$code"
run --retablir 4
check "the shipped level 4 put back" "0 $(cat "$shipped/Niveau_4.txt")" "$code $(cat "$levels/Niveau_4.txt")"
check "each replaced level kept in turn" "$mine|$(cat "$friend/Niveau_2.txt")|$(printf '1\n0\t50')" \
  "$(cat "$levels/Niveau_4.txt.~1~")|$(cat "$levels/Niveau_4.txt.~2~")|$(cat "$levels/Niveau_4.txt.~3~")"

if [ "$(id -u)" -ne 0 ]; then
  chmod a-w "$levels"
  run 7
  check "unwritable level folder" 9 "$code"
  chmod u+w "$levels"
fi

[ "$failures" -eq 0 ]
