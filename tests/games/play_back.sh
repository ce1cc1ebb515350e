#!/bin/sh
# play_back.sh GAME RECORDING "END LINE": the replay ends on that line, status 0;
# else one line naming the game, how it ended and where it left its recording.
said=$(mktemp)
out=$("$1" --revoir "$2" --vite 2>"$said")
status=$?
why=$(cat "$said")
rm -f "$said"
[ "$status" = 0 ] && [ "$out" = "$3" ] && exit 0
echo "$(basename "$2" .partie): ended \"$out\" (status $status), recorded \"$3\". $why"
exit 1
