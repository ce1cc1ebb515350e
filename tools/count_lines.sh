#!/bin/sh
# Lines (blank ones included) of the code files of the program, its tests and
# the benchmarks, and tests per program line.
#   code files: C++ (.cpp .h), JavaScript (.js, .js.in), Python, shell (.sh,
#            or a shebang naming sh, bash or python), CMake (CMakeLists.txt,
#            .cmake), HTML and CSS; and the scenarios (tests/scenarios/*.txt),
#            which are test code in a language of their own;
#   program: those under common/ level/ platform/ game/ editor/ packaging/
#            tools/, glouto.sh and CMake files outside tests/ and bench/;
#   tests:   those under tests/;
#   bench:   those under bench/, counted apart.
# Everything else is neither: pictures, sounds, recorded games, levels, man
# pages, licences, manifests, lock files and other prose or data.
cd "$(dirname "$0")/.." || exit 1

is_code() {
  case "$1" in
    *.cpp | *.h | *.js | *.js.in | *.py | *.sh | *.cmake | *.html | *.css | */CMakeLists.txt | CMakeLists.txt) return 0 ;;
    tests/scenarios/*.txt) return 0 ;;
    *.*) return 1 ;;
  esac
  head -n 1 "$1" | grep -qE '^#!.*(/|env )(ba)?sh|^#!.*python'
}

# Code files under the given pathspecs, one a line.
code_files() {
  git ls-files -- "$@" | while IFS= read -r f; do
    case "$f" in *.in) head -n 1 "$f" | grep -q '^#!' && { echo "$f"; continue; } ;; esac
    is_code "$f" && echo "$f"
  done
}

lines() {
  code_files "$@" | tr '\n' '\0' | xargs -0 cat | wc -l
}

program=$(lines common level platform game editor packaging tools glouto.sh \
  ':(glob)**/CMakeLists.txt' ':(glob)**/*.cmake' ':!tests' ':!bench')
tests=$(lines tests)
bench=$(lines bench)
echo "code lines: program $program, tests $tests, bench $bench"
awk -v t="$tests" -v p="$program" 'BEGIN { printf "tests per program line: %.2f\n", t / p }'
