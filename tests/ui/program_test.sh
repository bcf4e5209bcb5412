#!/bin/bash
# The real program on the test's display: stray arguments are ignored, the
# main window opens as laid out, and Escape ends the program with status 0.
set -eu
. "$(dirname "$0")/session.sh"

start "$1" --foo -display :9 -geometry 1x1
main=$(find_window Merrivane)
geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p')
[ "$geometry" = 385x290 ] || fail "main window is $geometry, not 385x290"

xdotool mousemove --window "$main" 100 270 key Escape
ended
echo "window 385x290 titled Merrivane; Escape ended it with status 0"
