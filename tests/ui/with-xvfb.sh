#!/bin/bash
# Runs a command against a private Xvfb server that is removed on exit, as
# an X11 client at the screen's scale: FLTK 1.4 would take a reachable
# Wayland compositor instead, and scales by FLTK_SCALING_FACTOR and by the
# screen's dpi. MERRIVANE_DPI sets that (96, scale 1, by default). Under
# Wine it is the prefix's, which the Windows tests share one at a time, so
# it is put back to 96 on exit.
set -eu
export FLTK_BACKEND=x11
unset FLTK_SCALING_FACTOR WAYLAND_DISPLAY XENVIRONMENT
. "$(dirname "$0")/screen_dpi.sh"
for w in "$1" "${MERRIVANE_EMULATOR:-}"; do
	case $w in *wine-run.sh) export MERRIVANE_WINE=$w ;; esac
done

dir=$(mktemp -d)
xpid=
cleanup() {
	set +e # Xvfb may have died already; the folder goes regardless
	[ -z "${MERRIVANE_WINE:-}" ] || screen_dpi 96
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
# a server without resources leaves Xlib reading ~/.Xdefaults; a Wine
# prefix is at 96 until a test changes it
[ -n "${MERRIVANE_WINE:-}" ] && [ "${MERRIVANE_DPI:-96}" = 96 ] || screen_dpi "${MERRIVANE_DPI:-96}"

status=0
"$@" || status=$?
exit "$status"
