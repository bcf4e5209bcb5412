#!/bin/bash
# The real program on the test's display: stray arguments are ignored, the
# main window opens as laid out, at the screen's scale where FLTK scales
# (1.4: 192 dpi doubles it), with the program's class and icon for docks
# and task bars, and Escape ends the program with status 0.
set -eu
. "$(dirname "$0")/session.sh"

sizes="96:385x290"
case ${MERRIVANE_FLTK_VERSION:-} in 1.[0-3].*) ;; *) sizes+=" 192:770x580" ;; esac
# Windows laptops' usual scales: 150 % too
[ -z "${MERRIVANE_WINE:-}" ] || sizes="96:385x290 144:577x435 192:770x580"
for s in $sizes; do
	dpi=${s%:*} expect=${s#*:}
	[ "$dpi" = 96 ] || screen_dpi "$dpi"
	start "$1" --foo -display :9 -geometry 1x1
	main=$(find_window Merrivane)
	geometry=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: //p')
	[ "$geometry" = "$expect" ] || fail "main window at $dpi dpi is $geometry, not $expect"

	# for docks and task bars on Linux; Windows takes the program's own
	if [ -z "${MERRIVANE_WINE:-}" ]; then
		class=$(xprop -id "$main" WM_CLASS)
		[ "$class" = 'WM_CLASS(STRING) = "merrivane", "Merrivane"' ] || fail "main window $class"
		xprop -id "$main" _NET_WM_ICON | grep -q 'Icon (48 x 48)' || fail "main window has no 48x48 icon"
	fi

	xdotool mousemove --window "$main" 100 270 key Escape
	ended
	echo "$dpi dpi: window $expect titled Merrivane, with its class and icon on Linux; Escape ended it with status 0"
done
