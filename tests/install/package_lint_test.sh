#!/bin/sh
# The package and its menu files as Debian's own checkers judge them; only
# errors fail. Usage: package_lint_test.sh PACKAGE_DIR (from package_build_test.sh)
set -u
for tool in desktop-file-validate appstreamcli lintian; do
  command -v "$tool" >/dev/null || { echo "$tool missing (./glouto.sh test installs it)"; exit 1; }
done
desktop-file-validate "$1"/root/usr/share/applications/*.desktop &&
  appstreamcli validate --no-net "$1"/root/usr/share/metainfo/*.metainfo.xml &&
  lintian --fail-on error --display-level '>=warning' "$1"/glouto_*_amd64.deb
