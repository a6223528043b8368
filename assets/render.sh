#!/usr/bin/env bash
# Renders the window picture and the icon from their SVG sources. The
# outputs are committed, so building the tool does not need this; run it
# after changing an SVG (needs librsvg2-bin, imagemagick, webp and python3).
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert=/usr/bin/convert   # ImageMagick itself, not a wrapper earlier on PATH

rsvg-convert -w 429 -h 226 radio.svg -o "$tmp/radio.png"
"$convert" "$tmp/radio.png" -strip -quality 92 radio.jpg

rsvg-convert -w 32 -h 32 icon.svg -o "$tmp/icon.png"
"$convert" "$tmp/icon.png" -channel A -threshold 50% +channel -colors 15 \
  -define png:bit-depth=4 -strip PNG8:icon.png
"$convert" icon.png -depth 8 rgba:- | python3 make-ico.py > icon.ico

# The desktop's larger icons, in full colour.
for size in 48 256; do
  rsvg-convert -w $size -h $size icon.svg -o "$tmp/icon-$size.png"
  "$convert" "$tmp/icon-$size.png" -strip "icon-$size.png"
done

# The Windows installer's welcome and finish pages: the radio on its own
# background, 164 x 314 pixels, 256 colours.
"$convert" radio.jpg -resize 164x -background '#26303a' -gravity center -extent 164x314 \
  -colors 256 -type Palette BMP3:installer.bmp

# The web edition: the picture at twice the size for sharp high-DPI screens,
# and the installable web app's icons (the maskable one with the safe zone's
# margin around the radio's icon, on the icon's own background).
rsvg-convert -w 858 -h 452 radio.svg -o "$tmp/radio-2x.png"
"$convert" "$tmp/radio-2x.png" -strip -quality 92 radio-2x.jpg
# The web page's own copy: a browser decodes it off the page's thread, where
# the SVG itself took the thread 25 ms as the page started.
cwebp -quiet -q 75 -metadata none "$tmp/radio-2x.png" -o radio-2x.webp
for size in 192 512; do
  rsvg-convert -w $size -h $size icon.svg -o "$tmp/icon-$size.png"
  "$convert" "$tmp/icon-$size.png" -strip "icon-$size.png"
done
rsvg-convert -w 410 -h 410 icon.svg -o "$tmp/icon-inner.png"
"$convert" "$tmp/icon-inner.png" -background '#26303a' -gravity center -extent 512x512 -flatten -strip icon-maskable-512.png
