#!/bin/sh
# Installs the Windows package under Wine as a person without administrator
# rights would (silently), checks what it put where, starts nothing, then
# uninstalls it and checks that all it installed is gone and what the user
# wrote is not.
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
installed="freqcode.exe freqcode-table.exe README.txt LICENSE.txt uninstall.exe"

"$run" "$prefix" "$setup" /S
for file in $installed; do
  [ -f "$dir/$file" ] || { echo "not installed: $file"; exit 1; }
done
for link in "$menu/freqcode.lnk" "$menu/freqcode read-me.lnk" "$sendto"; do
  [ -f "$link" ] || { echo "no shortcut: $link"; exit 1; }
done
grep -q "drop a list\|Drop the list" "$dir/README.txt" || { echo "the read-me does not say how to drop a list"; exit 1; }
for value in DisplayName DisplayVersion DisplayIcon Publisher EstimatedSize; do
  "$run" "$prefix" reg query "$key" /v $value | grep -q "$value" || { echo "the Apps entry has no $value"; exit 1; }
done

# A list's codes the user wrote into the folder are the user's.
printf 'location\n' >"$dir/codes.csv"
# As Apps starts it: the uninstaller runs from a copy of itself, so that it
# can remove itself too, and returns at once; wait for it.
"$run" "$prefix" "$dir/uninstall.exe" /S
for tries in $(seq 100); do
  [ -e "$dir/uninstall.exe" ] || break
  sleep 0.2
done
for file in $installed; do
  [ ! -e "$dir/$file" ] || { echo "left behind: $file"; exit 1; }
done
for link in "$menu/freqcode.lnk" "$menu/freqcode read-me.lnk" "$sendto"; do
  [ ! -e "$link" ] || { echo "shortcut left behind: $link"; exit 1; }
done
[ -f "$dir/codes.csv" ] || { echo "the uninstaller removed a file the user wrote"; exit 1; }
rm -rf "$dir"
echo "installed and uninstalled per user"
