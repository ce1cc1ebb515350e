#!/usr/bin/env bash
# Runs a reliability test program under valgrind memcheck; fails on any
# memory error and on any byte definitely lost.
#   memcheck.sh PROGRAM [GTEST_FILTER]
# Longer sessions with GLOUTO_SOAK_SCALE, e.g.
#   GLOUTO_SOAK_SCALE=20 tests/reliability/memcheck.sh build/tests/reliability/editor_reliability 'EditorSoak.*'
set -euo pipefail
command -v valgrind >/dev/null || { echo "valgrind missing"; exit 1; }
program="$1"; filter="${2:-*}"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
exec valgrind --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
  --error-exitcode=99 "$program" --gtest_filter="$filter"
