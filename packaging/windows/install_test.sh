#!/bin/sh
# Installs the Windows package under Wine as a person without administrator
# rights would (silently), checks what it put where, installs it again over
# a running window (it waits for the window to close), then uninstalls it
# with the window open (it waits too, changing nothing until then) and
# checks that all it installed is gone and what the user wrote is not.
# Also checks the packages' sums beside them.
# Usage: install_test.sh WINE_RUN PREFIX SETUP.exe
set -eu
run=$1
prefix=$2
setup=$3
user="$prefix/drive_c/users/$(id -un)"
dir="$user/AppData/Local/Programs/freqcode"
menu="$user/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
sendto="$user/AppData/Roaming/Microsoft/Windows/SendTo/freqcode codes.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\freqcode'
installed="freqcode.exe freqcode-table.exe freqcode.html README.txt LICENSE.txt uninstall.exe"

grep -aq dpiAware "$setup" || { echo "the installer does not declare itself DPI-aware"; exit 1; }
(cd "$(dirname "$setup")" && sha256sum --quiet -c SHA256SUMS) || { echo "SHA256SUMS does not match the packages"; exit 1; }

"$run" "$prefix" "$setup" /S
for file in $installed; do
  [ -f "$dir/$file" ] || { echo "not installed: $file"; exit 1; }
done
for link in "$menu/freqcode.lnk" "$menu/freqcode lists.lnk" "$menu/freqcode read-me.lnk" "$sendto"; do
  [ -f "$link" ] || { echo "no shortcut: $link"; exit 1; }
done
grep -aq dpiAware "$dir/uninstall.exe" || { echo "the uninstaller does not declare itself DPI-aware"; exit 1; }
# Every text file has CRLF line ends: no line feed without a return.
for file in README.txt LICENSE.txt freqcode.html; do
  [ "$(tr -cd '\n' <"$dir/$file" | wc -c)" -eq "$(grep -c "$(printf '\r')\$" "$dir/$file")" ] \
    || { echo "$file has line ends without CR"; exit 1; }
done

# The window stays open (drawn nowhere in this prefix) until it is told to
# close, as a person closes it.
openwindow() {
  "$run" "$prefix" "$dir/freqcode.exe" & window=$!
  for tries in $(seq 60); do
    started && { sleep 1; return; }
    sleep 0.5
  done
  echo "the window did not start"; exit 1
}
# Whether the window's program runs: a process of its name, the job itself
# or the job's child.
started() {
  for comm in /proc/[0-9]*/comm; do
    [ "$(cat "$comm" 2>/dev/null)" = freqcode.exe ] || continue
    pid=${comm#/proc/}
    pid=${pid%/comm}
    [ "$pid" = "$window" ] || [ "$(cut -d' ' -f4 "/proc/$pid/stat" 2>/dev/null)" = "$window" ] && return 0
  done
  return 1
}
closewindow() { "$run" "$prefix" taskkill /IM freqcode.exe >/dev/null; wait "$window" || true; }

# Installing over the open window waits for it, then installs.
openwindow
"$run" "$prefix" "$setup" /S & installer=$!
sleep 4
kill -0 "$installer" 2>/dev/null || { echo "the installer did not wait for the open window"; exit 1; }
closewindow
wait "$installer" || { echo "the installer failed once the window was closed"; exit 1; }
grep -q "drop a list\|Drop the list" "$dir/README.txt" || { echo "the read-me does not say how to drop a list"; exit 1; }
for value in DisplayName DisplayVersion DisplayIcon Publisher EstimatedSize; do
  "$run" "$prefix" reg query "$key" /v $value | grep -q "$value" || { echo "the Apps entry has no $value"; exit 1; }
done

# A list's codes the user wrote into the folder are the user's.
printf 'location\n' >"$dir/codes.csv"
# As Apps starts it: the uninstaller runs from a copy of itself, so that it
# can remove itself too, and returns at once; wait for it. With the window
# open it removes nothing until the window is closed.
openwindow
"$run" "$prefix" "$dir/uninstall.exe" /S
sleep 4
for file in $installed; do
  [ -f "$dir/$file" ] || { echo "the uninstaller removed $file while the window was open"; exit 1; }
done
closewindow
for tries in $(seq 100); do
  [ -e "$dir/uninstall.exe" ] || break
  sleep 0.2
done
for file in $installed; do
  [ ! -e "$dir/$file" ] || { echo "left behind: $file"; exit 1; }
done
for link in "$menu/freqcode.lnk" "$menu/freqcode lists.lnk" "$menu/freqcode read-me.lnk" "$sendto"; do
  [ ! -e "$link" ] || { echo "shortcut left behind: $link"; exit 1; }
done
[ -f "$dir/codes.csv" ] || { echo "the uninstaller removed a file the user wrote"; exit 1; }
rm -rf "$dir"
echo "installed and uninstalled per user"
