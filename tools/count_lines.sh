#!/bin/sh
# Lines (blank ones included) of the tracked text files of the program, its
# tests and the benchmarks, and tests per program line.
#   program: common/ level/ platform/ game/ editor/ packaging/ tools/,
#            glouto.sh and every CMake file outside tests/ and bench/;
#   tests:   every text file under tests/ (scenario files included) but
#            tests/web/package-lock.json;
#   bench:   bench/, counted apart.
# Binary files (approved pictures, icons) and generated files, which git does
# not track, are data: never counted.
cd "$(dirname "$0")/.." || exit 1
lines() {
  git ls-files -z -- "$@" | xargs -0 grep -Il '' | tr '\n' '\0' | xargs -0 cat | wc -l
}
program=$(lines common level platform game editor packaging tools glouto.sh \
  ':(glob)**/CMakeLists.txt' ':(glob)**/*.cmake' ':!tests' ':!bench')
tests=$(lines tests ':!tests/web/package-lock.json')
bench=$(lines bench)
echo "program $program, tests $tests, bench $bench"
awk -v t="$tests" -v p="$program" 'BEGIN { printf "tests per program line: %.2f\n", t / p }'
