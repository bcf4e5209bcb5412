#!/bin/bash
# Remakes src/ui/icon.cpp, the window icon's pixels, and data/merrivane.ico,
# the Windows program icon, from data/merrivane.svg. Needs rsvg-convert
# (librsvg2-bin) and ImageMagick.
set -eu
cd "$(dirname "$0")/.."
size=48
rgba=$(mktemp)
trap 'rm -f "$rgba" "$rgba".*.png "$rgba.png"' EXIT
rsvg-convert -w $size -h $size data/merrivane.svg -o "$rgba.png"
convert "$rgba.png" -depth 8 "rgba:$rgba"
{
	echo '/* Made by scripts/icon.sh from data/merrivane.svg: do not edit. */'
	echo '#include "ui/ui.h"'
	echo
	echo "const unsigned char ICON_PIXELS[ICON_SIZE * ICON_SIZE * 4] = {"
	od -An -v -tu1 -w16 "$rgba" | sed 's/^ *//; s/  */,/g; s/^/\t/; s/$/,/'
	echo "};"
} >src/ui/icon.cpp

for s in 16 24 32 48 256; do
	rsvg-convert -w $s -h $s data/merrivane.svg -o "$rgba.$s.png"
done
convert "$rgba".16.png "$rgba".24.png "$rgba".32.png "$rgba".48.png "$rgba".256.png data/merrivane.ico
