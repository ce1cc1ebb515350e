#!/usr/bin/env bash
# Set up, build and run Glouto on Debian 12 or 13.
#   ./glouto.sh play          build and start the game
#   ./glouto.sh play editor   build and start the level editor
#   ./glouto.sh play [game|editor] [OPTION...]   the same, with the program's own
#                             options (--zoom 2, --niveau 3, a level file)
#   ./glouto.sh web           build the browser site and serve it, with the signalling
#                             of "Deux écrans", at http://127.0.0.1:8000/ (GLOUTO_PORT)
#   ./glouto.sh web build     only build the site, in build-web/site/
#   ./glouto.sh web serve     only serve the site built before
#   ./glouto.sh test          build and run every test (the in-process ones
#                             also under AddressSanitizer and UBSan, and
#                             all but fuzzing, packaging, valgrind and the site's again
#                             on sdl12-compat where the release also has the
#                             classic SDL 1.2; the site's in headless Chromium)
set -euo pipefail
cd "$(dirname "$0")"

BUILD_PACKAGES=(cmake g++ make pkg-config libsdl1.2-dev libsdl-image1.2-dev libpng-dev libsdl-ttf2.0-dev
                libsndfile1-dev libsamplerate0-dev libgtest-dev)
TEST_PACKAGES=(xvfb xauth xdotool x11-utils imagemagick python3-pil libxml2-utils clang
               valgrind libbenchmark-dev dpkg-dev desktop-file-utils appstream
               lintian libsdl1.2-compat sox lame clang-format firefox-esr coturn)
WEB_PACKAGES=(emscripten lame python3 nodejs chromium)

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

# The sanitizers' runtime for the clang the release installs.
ensure_clang_runtime() {
  ensure_packages clang
  ensure_packages "libclang-rt-$(clang -dumpversion | cut -d. -f1)-dev"
}

build() {
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build -j"$(nproc)"
}

# Has the tests load the SDL 1.2 of this folder, and fails unless they do.
check_loaded() {
  export GLOUTO_SDL_DIR="$1" LD_LIBRARY_PATH="$1${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
  if ! build/tests/common_tests --gtest_filter='SdlLibrary.*' --gtest_brief=1; then
    echo "sdl12-compat from $1 is not the SDL library the tests load." >&2
    exit 1
  fi
}

# The browser site, from the same sources (emscripten's SDL 1.2).
build_web() {
  ensure_packages "${WEB_PACKAGES[@]}"
  # The site's server and the browser tests' driver come from npm, at the
  # versions their lockfiles pin (some nodejs packages bring npm along,
  # Debian's does not).
  command -v npm >/dev/null || ensure_packages npm
  # Debian's emcc finds its JavaScript tools only through NODE_PATH.
  export NODE_PATH=/usr/share/nodejs
  emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build-web -j"$(nproc)"
}

case "${1:-play}" in
  play)
    shift $(($# > 0))  # "play" itself
    program=game
    case "${1:-}" in
      game|editor) program=$1; shift ;;
      -*|"") ;;
      *) echo "usage: $0 play [game|editor] [OPTION...]" >&2; exit 2 ;;
    esac
    ensure_packages "${BUILD_PACKAGES[@]}"
    build
    if [ ! -x "build/$program" ]; then
      echo "$program is not built yet: its code has not landed." >&2
      exit 1
    fi
    cd assets
    exec "../build/$program" "$@"
    ;;
  web)
    [ "${2:-}" = serve ] || build_web
    [ "${2:-}" = build ] && { echo "Site built in build-web/site/"; exit 0; }
    # One node process: the site and PeerJS's server (platform/web/serveur), which prints the address.
    exec node build-web/serveur/serveur.js
    ;;
  test)
    ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    ensure_clang_runtime
    build_web
    (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
    # What was compiled once is not compiled again (CI keeps the cache).
    ensure_packages ccache
    export CMAKE_C_COMPILER_LAUNCHER="${CMAKE_C_COMPILER_LAUNCHER:-ccache}"
    export CMAKE_CXX_COMPILER_LAUNCHER="${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}"
    # First the in-process suites under AddressSanitizer and UBSan, then everything.
    cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DGLOUTO_SANITIZE=ON >/dev/null
    cmake --build build-asan -j"$(nproc)"
    echo "== In-process tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j"$(nproc)" -LE 'e2e|fuzz|install|web')
    build
    # Debian 12 installs sdl12-compat beside the classic SDL 1.2, for programs
    # that ask for it; Debian 13's own SDL 1.2 is sdl12-compat.
    libs="/usr/lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)"
    compat="$libs/sdl12-compat"
    if [ "$(readlink -f "$compat/libSDL-1.2.so.0")" = "$(readlink -f "$libs/libSDL-1.2.so.0")" ]; then
      echo "== Every test, on the system's SDL 1.2: sdl12-compat, the only one here, so one pass"
      check_loaded "$compat"
      cd build
      exec ctest --output-on-failure -j"$(nproc)"
    fi
    echo "== Every test, on the classic SDL 1.2"
    (cd build && ctest --output-on-failure -j"$(nproc)")
    # valgrind's runs stay on the classic library here; Debian 13, whose SDL
    # 1.2 is sdl12-compat, runs them there.
    echo "== The in-process tests and the scenarios again, on sdl12-compat"
    check_loaded "$compat"
    cd build
    exec ctest --output-on-failure -j"$(nproc)" -LE 'fuzz|install|web|memcheck'
    ;;
  *)
    echo "usage: $0 play [game|editor] | $0 web [build|serve] | $0 test" >&2
    exit 2
    ;;
esac
