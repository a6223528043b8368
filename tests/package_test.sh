#!/usr/bin/env bash
# Installs into a staging root and checks what a Linux desktop reads with its
# own validators; builds the .deb, checks it with lintian and that the
# unpacked program starts. Usage: package_test.sh BUILD_DIR [PAGE]: with
# the web page the build was given, the list page and its entry too.
set -euo pipefail
build=$1
page=${2:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
appid=org.freqcode.freqcode

# What goes where.
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
stage=$work/stage/usr
for file in bin/freqcode bin/freqcode-table share/applications/$appid.desktop share/metainfo/$appid.metainfo.xml \
            share/icons/hicolor/32x32/apps/$appid.png share/icons/hicolor/48x48/apps/$appid.png \
            share/icons/hicolor/256x256/apps/$appid.png share/icons/hicolor/scalable/apps/$appid.svg \
            share/man/man1/freqcode.1.gz share/man/man1/freqcode-table.1.gz \
            share/bash-completion/completions/freqcode-table share/doc/freqcode/copyright; do
  [ -f "$stage/$file" ] || { echo "not installed: $file"; exit 1; }
done
desktop-file-validate "$stage/share/applications/$appid.desktop"
if [ -n "$page" ]; then
  # The very page of the build folder, where its tests ran offline.
  cmp "$page" "$stage/share/freqcode/freqcode.html" || { echo "the list page is not installed as built"; exit 1; }
  desktop-file-validate "$stage/share/applications/$appid.lists.desktop"
  # Its launcher hands the installed page to the browser.
  mkdir "$work/opener"
  printf '#!/bin/sh\nreadlink -f "$1"\n' >"$work/opener/xdg-open"
  chmod +x "$work/opener/xdg-open"
  [ "$(PATH="$work/opener:$PATH" "$stage/bin/freqcode-lists")" = "$(readlink -f "$stage/share/freqcode/freqcode.html")" ] \
    || { echo "freqcode-lists does not open the installed page"; exit 1; }
else
  echo "no web page given to this build: the list page is not in its install"
fi
appstreamcli validate --no-net --explain "$stage/share/metainfo/$appid.metainfo.xml"
# Each icon has the size its folder says.
for size in 32 48 256; do
  file "$stage/share/icons/hicolor/${size}x${size}/apps/$appid.png" | grep -q "$size x $size" \
    || { echo "the ${size}x${size} icon is another size"; exit 1; }
done
# The completion offers the options.
bash -c "source '$stage/share/bash-completion/completions/freqcode-table'
         COMP_WORDS=(freqcode-table --ste); COMP_CWORD=1; _freqcode_table; [ \"\${COMPREPLY[*]}\" = --step ]" \
  || { echo "bash completion does not complete --ste"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/freqcode_*.deb)
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "no dependency on Qt Widgets"; exit 1; }
if [ -n "$page" ]; then
  dpkg-deb -c "$deb" >"$work/contents.txt"
  grep -q ' ./usr/share/freqcode/freqcode.html$' "$work/contents.txt" || { echo "the .deb has no list page"; exit 1; }
fi
if command -v lintian >/dev/null; then
  # Errors fail; warnings are listed for the reader.
  lintian --tag-display-limit 0 "$deb" 2>&1 | tee "$work/lintian.txt"
  if grep -q '^E:' "$work/lintian.txt"; then echo "lintian found errors"; exit 1; fi
else
  echo "SKIPPED lintian: it is not installed (apt-get install lintian)"
fi

# Still running after two seconds means it started and opened its window.
dpkg-deb -x "$deb" "$work/root"
status=0
QT_QPA_PLATFORM=offscreen timeout 2 "$work/root/usr/bin/freqcode" || status=$?
[ "$status" -eq 124 ] || { echo "the packaged program ended with status $status"; exit 1; }
echo "package ok: $(basename "$deb")"
