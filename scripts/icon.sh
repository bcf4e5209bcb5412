#!/bin/bash
# Remakes data/merrivane-48.rgba, the window icon's pixels (RGBA rows top to
# bottom, which the build links into the program), and data/merrivane.ico,
# the Windows program icon, from data/merrivane.svg. Needs rsvg-convert
# (librsvg2-bin) and ImageMagick.
set -eu
cd "$(dirname "$0")/.."
size=48
rgba=$(mktemp)
trap 'rm -f "$rgba" "$rgba".*.png "$rgba.png"' EXIT
rsvg-convert -w $size -h $size data/merrivane.svg -o "$rgba.png"
convert "$rgba.png" -depth 8 "rgba:data/merrivane-$size.rgba"

for s in 16 24 32 48 256; do
	rsvg-convert -w $s -h $s data/merrivane.svg -o "$rgba.$s.png"
done
convert "$rgba".16.png "$rgba".24.png "$rgba".32.png "$rgba".48.png "$rgba".256.png data/merrivane.ico
