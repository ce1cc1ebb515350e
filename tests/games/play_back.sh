#!/bin/sh
# play_back.sh GAME RECORDING "END LINE": the replay ends on that line, status 0.
out=$("$1" --revoir "$2" --vite) || { echo "status $?: $out"; exit 1; }
[ "$out" = "$3" ] || { echo "ended \"$out\", recorded \"$3\""; exit 1; }
