#!/bin/sh
# format_check.sh SOURCE_DIR: fails, naming them, when C++ files are not as .clang-format lays them out.
cd "$1" || exit 1
command -v clang-format >/dev/null || { echo "clang-format is missing: install Debian's clang-format" >&2; exit 1; }
# The tracked files in a git checkout, else every source folder's.
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null) || files=$(find bench common editor game level packaging \
  platform tests -name node_modules -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
# shellcheck disable=SC2086
bad=$(clang-format --dry-run -Werror $files 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/\1/p' | sort -u)
[ -z "$bad" ] || { printf 'Not as .clang-format lays them out (clang-format -i FILE... mends them):\n%s\n' "$bad" >&2; exit 1; }
echo "$(echo "$files" | wc -w) files as .clang-format lays them out"
