#!/usr/bin/env bash
# Takes the picture of the Windows window in docs/: the window under Wine
# on a virtual screen, in a Wine desktop so that its caption is drawn, with
# both buttons pressed. Needs the Windows build (scripts/test.sh makes it).
# Usage: scripts/windows-screenshot.sh [BUILD_DIR] [OUTPUT.png] [ITEMS DOWN THE STEP LIST]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/windows}
output=${2:-docs/window-windows.png}
exe=$build/window/win32/form1_screenshot.exe
down=${3:-0}

# A prefix of its own that draws on X, beside the tests' display-less one.
export WINEPREFIX=$PWD/$build/wineprefix-screen WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '/usr/lib/wine/wineserver64 -k 2>/dev/null || true' EXIT
xvfb-run -a -s "-screen 0 640x420x24" bash -c '
  set -e
  [ -d "$WINEPREFIX" ] || { /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1; cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"; }
  /usr/lib/wine/wine64 explorer /desktop=freqcode,640x420 "'"$exe"'" '"$down"' >/dev/null 2>&1 &
  sleep 5
  import -window root -crop 444x328+36+36 +repage "'"$output"'"
'
echo "wrote $output"
