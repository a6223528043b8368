#!/usr/bin/env bash
# Builds the .deb, unpacks it, and checks that it holds the program, its
# desktop entry and icon, depends on Qt, and that the unpacked program starts.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/freqcode_*.deb)
dpkg-deb -x "$deb" "$work/root"

for file in usr/bin/freqcode usr/bin/freqcode-table usr/share/applications/freqcode.desktop usr/share/icons/hicolor/32x32/apps/freqcode.png; do
  [ -f "$work/root/$file" ] || { echo "missing from the package: $file"; exit 1; }
done
grep -q '^Exec=freqcode$' "$work/root/usr/share/applications/freqcode.desktop"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "no dependency on Qt Widgets"; exit 1; }

# Still running after two seconds means it started and opened its window.
status=0
QT_QPA_PLATFORM=offscreen timeout 2 "$work/root/usr/bin/freqcode" || status=$?
[ "$status" -eq 124 ] || { echo "the packaged program ended with status $status"; exit 1; }
echo "package ok: $(basename "$deb")"
