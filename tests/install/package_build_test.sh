#!/bin/sh
# Builds the .deb with CPack and unpacks it for the tests that follow; checks
# what a Debian player gets: name, control fields, layout, manual pages, icons.
# Usage: package_build_test.sh CPACK BUILD_DIR OUT_DIR VERSION
set -u
cpack=$1 build=$2 out=$3 version=$4
. "$(dirname "$0")/check.sh"
rm -rf "$out"
mkdir -p "$out"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || { cat "$out/cpack.log"; exit 1; }
deb=$out/glouto_${version}_amd64.deb
[ -f "$deb" ] || { echo "FAIL no $deb:"; ls "$out"; exit 1; }
check "control fields" "glouto games amd64 $version" \
  "$(for f in Package Section Architecture Version; do dpkg-deb -f "$deb" $f; done | xargs)"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libsdl1.2debian libsdl-image1.2 libsdl-ttf2.0-0 libsndfile1 libsamplerate0; do
  case $depends in *"$library"*) r=0 ;; *) r=1 ;; esac
  check "$library a dependency, computed from the programs" 0 $r
done
root=$out/root
dpkg-deb -x "$deb" "$root" || exit 1
check "everything under /usr" usr "$(ls "$root")"
cd "$root/usr" || exit 1
for command in glouto glouto-editeur glouto-niveau; do
  [ -x "games/$command" ] && gzip -t "share/man/man6/$command.6.gz"; check "$command and its manual page" 0 $?
done
games/glouto-niveau --help >/dev/null; check "packaged glouto-niveau runs" 0 $?
for file in lib/games/glouto/game lib/games/glouto/editor share/games/glouto/Images \
  share/games/glouto/Police share/games/glouto/Niveaux share/games/glouto/Readme.html \
  share/applications/glouto.desktop share/applications/glouto-editeur.desktop \
  share/metainfo/org.glouto.Glouto.metainfo.xml share/doc/glouto/copyright; do
  [ -e "$file" ]; check "$file" 0 $?
done
gzip -t share/doc/glouto/changelog.gz; check "changelog" 0 $?
[ ! -e share/games/glouto/Niveaux/Niveau_.txt ]; check "no stray editor save shipped" 0 $?
for name in glouto glouto-editeur; do
  for size in 48 64 128; do
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "share/icons/hicolor/${size}x${size}/apps/$name.png" 2>/dev/null |
      awk '{print $3*256+$4 "x" $7*256+$8}')
    check "$name icon ${size}x${size}" "${size}x${size}" "$dims"
  done
done
[ "$failures" -eq 0 ]
