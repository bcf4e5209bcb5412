#!/bin/bash
# The real program on the test's display: stray arguments are ignored, the
# main window opens as laid out, and Escape ends the program with status 0.
set -eu
prog=$1

"$prog" --foo -display :9 -geometry 1x1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Merrivane$' | head -n 1)
geometry=$(xdotool getwindowgeometry "$wid" | sed -n 's/.*Geometry: //p')
if [ "$geometry" != 385x290 ]; then
	echo "main window is $geometry, not 385x290" >&2
	exit 1
fi

xdotool mousemove --window "$wid" 100 270 key Escape
status=0
timeout 20 tail --pid="$pid" -f /dev/null || { echo "Escape did not end the program" >&2; exit 1; }
wait "$pid" || status=$?
trap - EXIT
if [ "$status" != 0 ]; then
	echo "exit status $status" >&2
	exit 1
fi
echo "window 385x290 titled Merrivane; Escape ended with status 0"
