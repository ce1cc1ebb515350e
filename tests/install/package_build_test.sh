#!/bin/sh
# Builds and unpacks the .deb for the next test; checks its fields, layout, manual pages, icons,
# and Debian's checkers (errors only). Usage: package_build_test.sh CPACK BUILD_DIR OUT_DIR VERSION
set -u
cpack=$1 build=$2 out=$3 version=$4 root=$3/root deb=$3/glouto_$4_amd64.deb
. "$(dirname "$0")/check.sh"
rm -rf "$out" && mkdir -p "$out"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
dpkg-deb -x "$deb" "$root" || { echo "FAIL no $deb:"; ls "$out"; exit 1; }
cd "$root/usr" || exit 1
rows <<'ROWS'
control fields|glouto games amd64 $version|for f in Package Section Architecture Version; do dpkg-deb -f "$deb" $f; done | xargs
dependencies computed from the programs||for l in libc6 libsdl1.2debian libsdl-image1.2 libsdl-ttf2.0-0 libsndfile1 libsamplerate0; do dpkg-deb -f "$deb" Depends | grep -q "$l" || echo "$l"; done
everything under /usr|usr|ls "$root"
the commands, their manual pages, the changelog||for c in glouto glouto-editeur glouto-niveau; do [ -x "games/$c" ] && gzip -t "share/man/man6/$c.6.gz" || echo $c; done; gzip -t share/doc/glouto/changelog.gz || echo changelog
packaged glouto-niveau runs|0|games/glouto-niveau --help >/dev/null; echo $?
the programs, assets, menu entries, metadata, copyright||for f in lib/games/glouto/game lib/games/glouto/editor share/games/glouto/Images share/games/glouto/Police share/games/glouto/Niveaux share/games/glouto/Readme.html share/applications/glouto.desktop share/applications/glouto-editeur.desktop share/metainfo/org.glouto.Glouto.metainfo.xml share/doc/glouto/copyright; do [ -e "$f" ] || echo "$f"; done
no stray editor save shipped|no|has share/games/glouto/Niveaux/Niveau_.txt
icons of both programs at 48, 64, 128 (the PNG's size at byte 16)|48x48 64x64 128x128 48x48 64x64 128x128|for n in glouto glouto-editeur; do for s in 48 64 128; do od -An -tu1 -j16 -N8 "share/icons/hicolor/${s}x$s/apps/$n.png" 2>/dev/null; done | awk '{print $3*256+$4 "x" $7*256+$8}'; done | xargs
Debian's checkers|0|{ desktop-file-validate share/applications/*.desktop && appstreamcli validate --no-net share/metainfo/*.metainfo.xml && lintian --fail-on error --display-level '>=warning' "$deb"; } >&2; echo $?
ROWS
[ "$failures" -eq 0 ]
