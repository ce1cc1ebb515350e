#!/usr/bin/env bash
# A test program under valgrind memcheck: fails on any memory error or byte definitely lost.
#   memcheck.sh PROGRAM [GTEST_FILTER]   (longer soaks: GLOUTO_SOAK_SCALE, docs/RELIABILITY.md)
set -euo pipefail
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
# A filter that names no test would pass having checked nothing.
"$1" --gtest_list_tests --gtest_filter="${2:-*}" | grep -q '^  ' || { echo "no test matches ${2:-*}"; exit 1; }
exec valgrind --leak-check=full --show-leak-kinds=definite --errors-for-leak-kinds=definite \
  --error-exitcode=99 "$1" --gtest_filter="${2:-*}"
