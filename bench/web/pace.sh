#!/usr/bin/env bash
# The hero's pace in the browser and on the desktop, in the same run, at
# level 1 and on the heavy level 5, and the browser's CPU on the menu and at
# level 1 (MEASURE_S seconds each, 60 by default), three rounds in turn. Needs build/ and
# build-web/ (./glouto.sh web build) and tests/web/node_modules (npm ci).
set -euo pipefail
cd "$(dirname "$0")/../.."
for round in 1 2 3; do
  echo "== round $round"
  node tests/web/harness.js pace --site build-web/site --artifacts /tmp/glouto-pace \
    --scenarios bench/web/pace.js | grep -E "pace|FAILED" || true
  /usr/bin/python3 bench/web/desktop_pace.py build/game assets
  MEASURE_S=${MEASURE_S:-60} node tests/web/harness.js cpu --site build-web/site \
    --artifacts /tmp/glouto-cpu --scenarios bench/web/cpu.js | grep -E "CPU|readback|menu|FAILED" || true
  uptime
done
