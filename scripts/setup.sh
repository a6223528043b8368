#!/usr/bin/env bash
# Installs, with apt-get, what the tool needs on Debian 12 and is not there
# yet. Safe to run again: it installs nothing when everything is present.
#   scripts/setup.sh window   what building and opening the window needs
#   scripts/setup.sh          everything: the window, and every toolchain
#                             and tool that the tests and benchmarks use
set -euo pipefail
cd "$(dirname "$0")/.."
which=${1:-all}

window=(
  cmake make g++                               # the build
  qt6-base-dev                                 # the window (with moc and Qt's platform plugins)
  qt6-wayland                                  # ...shown natively on Wayland desktops too
  fonts-dejavu-core                            # ...with a font to draw its texts in
)
tests=(
  clang libclang-rt-14-dev                     # the sanitized build, libFuzzer
  libgtest-dev libgmock-dev libbenchmark-dev   # tests and benchmarks
  miller                                       # ...a CSV tool to measure the list reader against
  srecord                                      # the reference for memory image files
  locales                                      # a decimal-comma locale for the tests
  xvfb xauth                                   # a display for screenshots and tests
  dpkg-dev file                                # CPack's .deb
  appstream desktop-file-utils lintian help2man # ...checked as a Linux desktop and Debian expect
  googletest                                   # GoogleTest's sources, built for Windows
  g++-mingw-w64-x86-64-posix                   # the Windows programs, cross-compiled
  wine wine64 fonts-wine                       # ...and run under Wine for their tests
  nsis                                         # the Windows installer
  emscripten                                   # the web edition, in WebAssembly, run under node
  chromium                                     # ...and the page tested in the browser, headless
)
case "$which" in
  window) packages=("${window[@]}") ;;
  all) packages=("${window[@]}" "${tests[@]}") ;;
  *) echo "usage: scripts/setup.sh [window|all]" >&2; exit 2 ;;
esac
# Debian's nodejs comes without npm; a Node.js that bundles npm needs none.
if [ "$which" = all ] && ! command -v npm >/dev/null; then
  packages+=(npm)
fi

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
[ "$which" = all ] || exit 0

# The web page's tests drive Chromium with playwright-core, at the version
# its lockfile names (the browser is Debian's, never a download).
if [ ! -d tests/web/node_modules/playwright-core ]; then
  (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
fi

# The tests read numbers under a locale whose decimal separator is a comma.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
