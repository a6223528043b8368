#!/bin/sh
# Installs the Windows package under Wine as a person without administrator
# rights would (silently), checks what it put where, starts nothing, then
# uninstalls it and checks that nothing is left.
# Usage: install_test.sh WINE_RUN PREFIX SETUP.exe
set -eu
run=$1
prefix=$2
setup=$3
dir="$prefix/drive_c/users/$(id -un)/AppData/Local/Programs/freqcode"
menu="$prefix/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/freqcode.lnk"

"$run" "$prefix" "$setup" /S
for file in freqcode.exe freqcode-table.exe README.md LICENSE.txt uninstall.exe; do
  [ -f "$dir/$file" ] || { echo "not installed: $file"; exit 1; }
done
[ -f "$menu" ] || { echo "no Start-menu shortcut"; exit 1; }
"$run" "$prefix" reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\freqcode' /v DisplayName \
  | grep -q freqcode || { echo "not listed for uninstalling"; exit 1; }

# _?= keeps the uninstaller where it is and waits for it.
"$run" "$prefix" "$dir/uninstall.exe" /S "_?=C:\\users\\$(id -un)\\AppData\\Local\\Programs\\freqcode"
for file in freqcode.exe freqcode-table.exe README.md LICENSE.txt; do
  [ ! -e "$dir/$file" ] || { echo "left behind: $file"; exit 1; }
done
[ ! -e "$menu" ] || { echo "shortcut left behind"; exit 1; }
echo "installed and uninstalled per user"
