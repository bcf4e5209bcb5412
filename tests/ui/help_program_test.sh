#!/bin/bash
# The help window's life in the real program: hidden at start, one window
# however often "Help" is pressed, and the program ends, with status 0, only
# once both windows are closed, by Escape or by the window's close box.
set -eu
prog=$1 close_window=$2
. "$(dirname "$0")/session.sh"

windows() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }

close() { # how, window
	case $1 in
	escape) xdotool windowfocus --sync "$2" key Escape ;;
	box) run "$close_window" "$2" ;;
	esac
}

# first window closed, how; second window, how
for order in "Merrivane escape Help box" "Merrivane box Help escape" \
	"Help escape Merrivane box" "Help box Merrivane escape"; do
	set -- $order
	start "$prog"
	main=$(find_window Merrivane)
	[ "$(windows Help)" = 0 ] || fail "help window shown at start"
	press_help "$main"
	help=$(find_window Help)
	xdotool windowraise "$main"
	press_help "$main"
	press_help "$main"
	find_window Help >/dev/null
	[ "$(windows Help)" = 1 ] || fail "$(windows Help) help windows"
	xprop -id "$help" WM_CLASS | grep -qF '"merrivane", "Merrivane"' || fail "help window $(xprop -id "$help" WM_CLASS)"

	[ "$1" = Merrivane ] && first=$main second=$help || first=$help second=$main
	close "$2" "$first"
	gone "$1"
	kill -0 "$pid" || fail "$order: ended with a window still open"
	close "$4" "$second"
	ended
	echo "$order: ended with status 0"
done
