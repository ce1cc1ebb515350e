#!/bin/sh
# The package and its menu files as Debian's own checkers judge them.
# Usage: package_lint_test.sh PACKAGE_DIR (as left by package_build_test.sh)
set -u
out=$1
root=$out/root
for tool in desktop-file-validate appstreamcli lintian; do
  command -v "$tool" >/dev/null || { echo "$tool missing (./glouto.sh test installs it)"; exit 1; }
done
failures=0
for desktop in "$root"/usr/share/applications/*.desktop; do
  desktop-file-validate "$desktop" || failures=$((failures + 1))
done
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || failures=$((failures + 1))
# Warnings and notes are listed but only errors fail.
lintian --fail-on error --display-level '>=warning' "$out"/glouto_*_amd64.deb || failures=$((failures + 1))
[ "$failures" -eq 0 ]
