#!/bin/bash
# The real program on the test's display: stray arguments are ignored, the
# main window opens as laid out, with the program's class and icon for docks
# and task bars, and Escape ends the program with status 0.
set -eu
. "$(dirname "$0")/session.sh"

start "$1" --foo -display :9 -geometry 1x1
main=$(find_window Merrivane)
geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p')
[ "$geometry" = 385x290 ] || fail "main window is $geometry, not 385x290"

class=$(xprop -id "$main" WM_CLASS)
[ "$class" = 'WM_CLASS(STRING) = "merrivane", "Merrivane"' ] || fail "main window $class"
xprop -id "$main" _NET_WM_ICON | grep -q 'Icon (48 x 48)' || fail "main window has no 48x48 icon"

xdotool mousemove --window "$main" 100 270 key Escape
ended
echo "window 385x290 titled Merrivane, class merrivane, with its icon; Escape ended it with status 0"
