#!/bin/sh
# format_check.sh SOURCE_DIR: fails, naming them, when C++ files of the tree
# are not laid out as .clang-format says.
cd "$1" || exit 1
if ! command -v clang-format >/dev/null; then
  echo "clang-format is missing: install Debian's clang-format package" >&2
  exit 1
fi
# The tracked files when the tree is a git checkout, else every source folder's.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files '*.cpp' '*.h')
else
  files=$(find bench common editor game level packaging platform tests -name node_modules -prune \
    -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
# shellcheck disable=SC2086
bad=$(clang-format --dry-run -Werror $files 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error:.*/\1/p' | sort -u)
if [ -n "$bad" ]; then
  echo "Not as .clang-format lays them out (clang-format -i FILE... mends them):" >&2
  echo "$bad" >&2
  exit 1
fi
echo "$(echo "$files" | wc -w) files as .clang-format lays them out"
