#!/bin/bash
# Runs a command against a private Xvfb server that is removed on exit, as
# an X11 client at the server's scale: FLTK 1.4 would take a reachable
# Wayland compositor instead, and scales by FLTK_SCALING_FACTOR and by the
# server's Xft.dpi. MERRIVANE_XFT_DPI sets that (96, scale 1, by default).
set -eu
export FLTK_BACKEND=x11
unset FLTK_SCALING_FACTOR WAYLAND_DISPLAY XENVIRONMENT

dir=$(mktemp -d)
xpid=
cleanup() {
	set +e # Xvfb may have died already; the folder goes regardless
	[ -n "$xpid" ] && kill "$xpid" 2>/dev/null && wait "$xpid" 2>/dev/null
	rm -rf "$dir"
}
trap cleanup EXIT
trap "exit 143" HUP INT TERM

mkfifo "$dir/display"
# -noreset: the resources outlive the client that set them
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/xvfb.log" &
xpid=$!
if ! read -r -t 20 num <"$dir/display"; then
	echo "Xvfb did not start:" >&2
	cat "$dir/xvfb.log" >&2
	exit 1
fi

export DISPLAY=:$num
# a server without resources leaves Xlib reading ~/.Xdefaults
# (FLTK 1.3 never reads it, nor installs xrdb for its tests)
if command -v xrdb >/dev/null; then
	echo "Xft.dpi: ${MERRIVANE_XFT_DPI:-96}" | xrdb -nocpp -load -
fi

status=0
"$@" || status=$?
exit "$status"
