#!/usr/bin/env bash
# Set up, build and run Glouto on Debian 12.
#   ./glouto.sh play          build and start the game
#   ./glouto.sh play editor   build and start the level editor
#   ./glouto.sh test          build and run every test (the in-process ones
#                             also under AddressSanitizer and UBSan)
set -euo pipefail
cd "$(dirname "$0")"

BUILD_PACKAGES=(cmake g++ make pkg-config libsdl1.2-dev libsdl-image1.2-dev libsdl-ttf2.0-dev
                libsndfile1-dev libsamplerate0-dev libgtest-dev)
TEST_PACKAGES=(xvfb xauth xdotool x11-utils imagemagick python3-pil libxml2-utils clang
               libclang-rt-14-dev valgrind libbenchmark-dev dpkg-dev desktop-file-utils appstream
               lintian sox lame)

# Installs only what is missing, so a second run is quick.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  ((${#missing[@]} == 0)) && return 0
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j"$(nproc)"
}

case "${1:-play}" in
  play)
    program="${2:-game}"
    case "$program" in game|editor) ;; *) echo "usage: $0 play [game|editor]" >&2; exit 2 ;; esac
    ensure_packages "${BUILD_PACKAGES[@]}"
    build
    if [ ! -x "build/$program" ]; then
      echo "$program is not built yet: its code has not landed." >&2
      exit 1
    fi
    cd assets
    exec "../build/$program"
    ;;
  test)
    ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    # First the in-process suites under AddressSanitizer and UBSan, then everything.
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGLOUTO_SANITIZE=ON >/dev/null
    cmake --build build-asan -j"$(nproc)"
    echo "== In-process tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$(nproc)" -LE 'e2e|fuzz|install')
    build
    cd build
    exec ctest --output-on-failure -j"$(nproc)"
    ;;
  *)
    echo "usage: $0 play [game|editor] | $0 test" >&2
    exit 2
    ;;
esac
