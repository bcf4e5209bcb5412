#!/bin/bash
# The help window's life in the real program: hidden at start, one window
# however often "Help" is pressed, and the program ends, with status 0, only
# once both windows are closed, by Escape or by the window's close box.
set -eu
prog=$1
close_window=$2

pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; true' EXIT

windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }

gone() { # name: poll until no visible window has it
	timeout 20 bash -c "while xdotool search --onlyvisible --name '^$1\$' >/dev/null 2>&1; do :; done"
}

close() { # how, window id
	case $1 in
	escape) xdotool windowfocus --sync "$2" key Escape ;;
	box) "$close_window" "$2" ;;
	esac
}

ended() { # with status 0
	timeout 20 tail --pid="$pid" -f /dev/null || { echo "program still running" >&2; exit 1; }
	local status=0
	wait "$pid" || status=$?
	pid=
	[ "$status" = 0 ] || { echo "exit status $status" >&2; exit 1; }
}

# first window closed, how; second window, how
for order in "Merrivane escape Help box" "Merrivane box Help escape" \
	"Help escape Merrivane box" "Help box Merrivane escape"; do
	set -- $order
	"$prog" &
	pid=$!
	main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Merrivane$' | head -n 1)
	[ "$(windows Help)" = 0 ] || { echo "help window shown at start" >&2; exit 1; }
	xdotool mousemove --window "$main" 44 264 click 1
	help=$(timeout 20 xdotool search --sync --onlyvisible --name '^Help$' | head -n 1)
	xdotool windowraise "$main" mousemove --window "$main" 44 264 click 1 click 1
	xdotool search --sync --onlyvisible --name '^Help$' >/dev/null
	[ "$(windows Help)" = 1 ] || { echo "$(windows Help) help windows" >&2; exit 1; }

	[ "$1" = Merrivane ] && first=$main second=$help || first=$help second=$main
	close "$2" "$first"
	gone "$1"
	kill -0 "$pid" || { echo "$order: ended with a window still open" >&2; exit 1; }
	close "$4" "$second"
	ended
	echo "$order: ended with status 0"
done
