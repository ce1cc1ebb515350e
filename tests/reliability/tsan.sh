#!/usr/bin/env bash
# Builds the game's test programs with ThreadSanitizer (in BUILD_DIR, default
# build-tsan) and runs the flow harness and the long-play soak under it: any
# race fails. Longer play: GLOUTO_SOAK_SCALE=10 tests/reliability/tsan.sh
#   tests/reliability/tsan.sh [BUILD_DIR]
set -euo pipefail
src="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$src/build-tsan}"
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLOUTO_TSAN=ON >/dev/null
cmake --build "$build" -j2 --target game_tests game_reliability
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# A longer history: with the default one, the stack of SDL's early write is
# lost while the audio thread decodes, and tsan.supp no longer matches.
export TSAN_OPTIONS="halt_on_error=1 exitcode=66 history_size=7 suppressions=$src/tests/reliability/tsan.supp"
cd "$build/tests"
"$build/tests/game_tests"
"$build/tests/reliability/game_reliability" --gtest_filter='GameSoak.*'
echo "ThreadSanitizer: no race in the flow harness nor in ${GLOUTO_SOAK_SCALE:-1}x long play"
