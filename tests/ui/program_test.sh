#!/bin/bash
# The real program on the test's display: stray arguments are ignored, the
# main window opens as laid out, at the screen's scale where FLTK scales
# (1.4: Xft.dpi 192 doubles it), with the program's class and icon for docks
# and task bars, and Escape ends the program with status 0.
set -eu
. "$(dirname "$0")/session.sh"

sizes="96:385x290"
case ${MERRIVANE_FLTK_VERSION:-} in 1.[0-3].*) ;; *) sizes+=" 192:770x580" ;; esac
for s in $sizes; do
	dpi=${s%:*} expect=${s#*:}
	[ "$dpi" = 96 ] || echo "Xft.dpi: $dpi" | xrdb -nocpp -load -
	start "$1" --foo -display :9 -geometry 1x1
	main=$(find_window Merrivane)
	geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p')
	[ "$geometry" = "$expect" ] || fail "main window at $dpi dpi is $geometry, not $expect"

	class=$(xprop -id "$main" WM_CLASS)
	[ "$class" = 'WM_CLASS(STRING) = "merrivane", "Merrivane"' ] || fail "main window $class"
	xprop -id "$main" _NET_WM_ICON | grep -q 'Icon (48 x 48)' || fail "main window has no 48x48 icon"

	xdotool mousemove --window "$main" 100 270 key Escape
	ended
	echo "$dpi dpi: window $expect titled Merrivane, class merrivane, with its icon; Escape ended it with status 0"
done
