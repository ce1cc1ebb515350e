#!/usr/bin/env bash
# The flow harness and the long-play soak built with ThreadSanitizer (in BUILD_DIR, default
# build-tsan): any race fails. Longer play: GLOUTO_SOAK_SCALE=10 tests/reliability/tsan.sh
set -euo pipefail
src="$(cd "$(dirname "$0")/../.." && pwd)" build="${1:-$src/build-tsan}"
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLOUTO_TSAN=ON >/dev/null
cmake --build "$build" -j2 --target game_tests game_reliability
# A longer history, or the stack of SDL's early write is lost and tsan.supp no longer matches.
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
  TSAN_OPTIONS="halt_on_error=1 exitcode=66 history_size=7 suppressions=$src/tests/reliability/tsan.supp"
cd "$build/tests" && ./game_tests && ./reliability/game_reliability --gtest_filter='GameSoak.*'
