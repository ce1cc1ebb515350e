#!/bin/sh
# play_back.sh GAME RECORDING "END LINE": the replay ends on that line, status 0;
# else one line naming the game, and how or where it left its recording.
said=$(mktemp)
out=$("$1" --revoir "$2" --vite 2>"$said")
status=$?
why=$(cat "$said")
rm -f "$said"
[ "$status" = 0 ] && [ "$out" = "$3" ] && exit 0
[ "$out" = "$3" ] || why="ended \"$out\", recorded \"$3\" (status $status). $why"
echo "$(basename "$2" .partie): $why"
exit 1
