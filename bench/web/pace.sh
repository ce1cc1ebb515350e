#!/usr/bin/env bash
# The hero's pace in the browser and on the desktop, in the same run, at
# level 1 and on the heavy level 5, three rounds in turn. Needs build/ and
# build-web/ (./glouto.sh web build) and tests/web/node_modules (npm ci).
set -euo pipefail
cd "$(dirname "$0")/../.."
for round in 1 2 3; do
  echo "== round $round"
  node tests/web/harness.js pace --site build-web/site --artifacts /tmp/glouto-pace \
    --scenarios bench/web/pace.js | grep -E "pace|FAILED" || true
  /usr/bin/python3 bench/web/desktop_pace.py build/game assets
done
