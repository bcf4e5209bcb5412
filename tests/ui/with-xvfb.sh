#!/bin/bash
# Runs a command against a private Xvfb server that is removed on exit.
set -eu

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
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xpid=$!
if ! read -r -t 20 num <"$dir/display"; then
	echo "Xvfb did not start:" >&2
	cat "$dir/xvfb.log" >&2
	exit 1
fi

status=0
DISPLAY=:$num "$@" || status=$?
exit "$status"
