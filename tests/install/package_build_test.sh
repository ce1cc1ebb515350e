#!/bin/sh
# Builds the .deb with CPack and unpacks it for the tests that follow; checks
# what a Debian player gets: name, control fields, layout, manual pages, icons.
# Usage: package_build_test.sh CPACK BUILD_DIR OUT_DIR VERSION
set -u
cpack=$1 build=$2 out=$3 version=$4
. "$(dirname "$0")/check.sh"

rm -rf "$out"
mkdir -p "$out"
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || {
  cat "$out/cpack.log"
  exit 1
}
deb=$out/glouto_${version}_amd64.deb
[ -f "$deb" ] || { echo "FAIL no $deb:"; ls "$out"; exit 1; }
echo "ok   $deb built"

field() { dpkg-deb -f "$deb" "$1"; }
check "package name" glouto "$(field Package)"
check "section" games "$(field Section)"
check "architecture" amd64 "$(field Architecture)"
check "version" "$version" "$(field Version)"
depends=$(field Depends)
case $depends in *libc6*) r=0 ;; *) r=1 ;; esac
check "dependencies computed from the programs ($depends)" 0 $r
for library in libsdl1.2debian libsdl-image1.2 libsdl-ttf2.0-0 libsndfile1 libsamplerate0; do
  case $depends in *"$library"*) r=0 ;; *) r=1 ;; esac
  check "the game's $library is a dependency" 0 $r
done

root=$out/root
dpkg-deb -x "$deb" "$root" || exit 1
check "everything under /usr" usr "$(ls "$root")"
for command in glouto glouto-editeur glouto-niveau; do
  [ -x "$root/usr/games/$command" ]; check "/usr/games/$command" 0 $?
  gzip -t "$root/usr/share/man/man6/$command.6.gz"; check "manual page of $command" 0 $?
done
"$root/usr/games/glouto-niveau" --help >/dev/null; check "packaged glouto-niveau runs" 0 $?
for program in game editor; do
  [ -x "$root/usr/lib/games/glouto/$program" ]; check "/usr/lib/games/glouto/$program" 0 $?
done
for item in Images Police Niveaux Readme.html; do
  [ -e "$root/usr/share/games/glouto/$item" ]; check "/usr/share/games/glouto/$item" 0 $?
done
[ ! -e "$root/usr/share/games/glouto/Niveaux/Niveau_.txt" ]; check "no stray editor save shipped" 0 $?
for name in glouto glouto-editeur; do
  [ -f "$root/usr/share/applications/$name.desktop" ]; check "$name.desktop" 0 $?
  for size in 48 64 128; do
    icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/$name.png
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$icon" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}')
    check "$name icon ${size}x${size}" "${size}x${size}" "$dims"
  done
done
[ -f "$root/usr/share/metainfo/org.glouto.Glouto.metainfo.xml" ]; check "AppStream metainfo" 0 $?
[ -f "$root/usr/share/doc/glouto/copyright" ]; check "copyright" 0 $?
gzip -t "$root/usr/share/doc/glouto/changelog.gz"; check "changelog" 0 $?

[ "$failures" -eq 0 ]
