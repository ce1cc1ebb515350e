#!/usr/bin/env bash
# Lighthouse 12 on every page of the built site, mobile and desktop presets,
# served by python's http.server on 127.0.0.1 (which sends .wasm as
# application/wasm, as streaming compilation needs). Prints one line per
# page and preset: the four scores, the main timings and the load average.
#   bench/web/audit.sh [SITE] [OUT]        (defaults: build-web/site, /tmp/glouto-audit)
# Lighthouse is a measuring tool, not a dependency of the site or its tests:
#   npm install --prefix /tmp/lh lighthouse@12    (or set LIGHTHOUSE to its cli)
# PAGES and PRESETS narrow the run, e.g. PAGES="jeu.html" PRESETS=desktop; VERBOSE=1
# adds the audits that did not pass.
set -euo pipefail
cd "$(dirname "$0")/../.."
site=${1:-build-web/site}
out=${2:-/tmp/glouto-audit}
lighthouse=${LIGHTHOUSE:-/tmp/lh/node_modules/.bin/lighthouse}
export CHROME_PATH=${CHROME_PATH:-/usr/bin/chromium}
mkdir -p "$out"
# A port of our own: another server on the machine may hold any fixed one.
for attempt in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 20000))
  python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>&1 &
  server=$!
  until ! kill -0 $server 2>/dev/null ||
      python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" 2>/dev/null; do
    sleep 0.2
  done
  kill -0 $server 2>/dev/null && break
done
trap 'kill $server' EXIT
for page in ${PAGES:-index.html jeu.html editeur.html Readme.html}; do
  for preset in ${PRESETS:-mobile desktop}; do
    report="$out/${page%.html}-$preset.json"
    extra=()
    [ "$preset" = desktop ] && extra=(--preset=desktop)
    "$lighthouse" "http://127.0.0.1:$port/$page" "${extra[@]}" --quiet \
      --chrome-flags="--headless=new --no-sandbox" \
      --only-categories=performance,accessibility,best-practices,seo \
      --output=json --output-path="$report" || { echo "$page $preset: lighthouse failed"; continue; }
    node -e '
      const r = JSON.parse(require("fs").readFileSync(process.argv[1], "utf8")), c = r.categories, a = r.audits;
      const score = (k) => Math.round(c[k].score * 100);
      const ms = (k) => Math.round(a[k].numericValue);
      const failed = Object.values(c).flatMap((cat) => cat.auditRefs)
        .map((ref) => a[ref.id]).filter((x) => x.score !== null && x.score < 1 &&
          ["binary", "numeric"].includes(x.scoreDisplayMode) && !/metric/.test(x.id))
        .map((x) => x.id);
      console.log(`${process.argv[2]} ${process.argv[3]}: perf ${score("performance")} a11y ${score("accessibility")}` +
        ` bp ${score("best-practices")} seo ${score("seo")} | FCP ${ms("first-contentful-paint")} LCP ` +
        `${ms("largest-contentful-paint")} TBT ${ms("total-blocking-time")} CLS ` +
        `${a["cumulative-layout-shift"].numericValue.toFixed(3)} SI ${ms("speed-index")} | load ` +
        `${require("os").loadavg()[0].toFixed(2)}` + (process.env.VERBOSE ? ` | ${failed.join(" ")}` : ""));
    ' "$report" "$page" "$preset"
  done
done
