#!/bin/sh
# Runs a Windows program under Wine in the build's own prefix:
#   wine-run.sh PREFIX PROGRAM [ARGS...]
# The first call makes the prefix: no graphics driver (windows are real but
# drawn nowhere, so no display is needed), Wine's fonts copied in. Every
# call makes sure that one persistent wineserver runs, and that Wine's own
# background processes were started with their streams detached: started by
# a test, they would keep its output pipes open and CTest waiting.
# Stop them all with: WINEPREFIX=PREFIX wineserver -k
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine takes the Unix side's encoding of file names and arguments from the
# locale; a fresh machine may have none set, which would mangle "Kanäle.csv".
export LC_ALL=C.UTF-8
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64

mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/.ready" ]; then
    "$wine" wineboot -i </dev/null >/dev/null 2>&1 9>&-
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1 9>&-
    # A crashing program ends at once rather than waiting in Wine's debugger.
    "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d '' /f \
      </dev/null >/dev/null 2>&1 9>&-
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    "$server" -k 2>/dev/null || true
    "$server" -w 2>/dev/null || true
    touch "$prefix/.ready"
  fi
  if "$server" -p </dev/null >/dev/null 2>&1 9>&-; then  # it was not running
    "$wine" wineboot </dev/null >/dev/null 2>&1 9>&- || true
  fi
) 9>"$prefix.lock"

# Wine exits 53 when it could not start the program at all (c0000135). On
# a clean build this once befell the first program run in the prefix just
# made, a program that exists and starts on every other run. It never ran,
# so it is started once more, a few seconds on; a second failure stands.
status=0
"$wine" "$@" || status=$?
[ "$status" -ne 53 ] && exit "$status"
echo "wine-run.sh: Wine could not start $1; starting it once more" >&2
sleep 3
exec "$wine" "$@"
