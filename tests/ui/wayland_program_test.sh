#!/bin/bash
# The real program as a native Wayland client (FLTK 1.4), driven by the
# keyboard alone: its window carries the desktop entry's app_id; the README
# spool typed shows 6454.1, another spool another capacity, and the
# examples' spool and line files loaded through the chooser and Update the
# README spool's again. Run under with-cage.sh.
set -eu
prog=$(realpath "$1")
WAIT=20
scratch=$(mktemp -d)
pid=
trap 'set +e; [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$scratch"; true' EXIT
trap 'exit 143' HUP INT TERM
fail() { echo "$*" >&2; exit 1; }
# the chooser opens in examples/ and keeps its preferences in scratch
export HOME=$scratch XDG_CONFIG_HOME=$scratch/.config
cd "$2"

# The capacity field, and inside the spool width's and its boxes; cage puts
# the window at the output's corner.
CAP="187,209 75x24" SW_IN="189,38 71x20" CAP_IN="189,211 71x20"
shot() { grim -g "$1" -t ppm - | sha1sum; }
# a region's pixels once they hold still and differ from $2
settled() {
	local last= now end=$((SECONDS + WAIT))
	while [ $SECONDS -lt $end ]; do
		now=$(shot "$1")
		[ "$now" = "$last" ] && [ "$now" != "${2:-}" ] && { echo "$now"; return; }
		last=$now
		sleep 0.1
	done
	fail "region $1 never settled"
}
# the text a region shows, as its ink, whatever the background
text() { grim -g "$1" -t ppm - | convert - -colorspace gray -normalize -threshold 35% -trim pbm:- | sha1sum; }
# one wtype each: in one, a key after text may arrive as a character
keys() { wtype "$@"; }
spool() { for v in "$@"; do keys -M ctrl a -m ctrl; keys "$v"; keys -k Tab; done; }
# Whether the compositor has given the keyboard to the newest window titled
# title, as the program's Wayland log says: that window's surface, through
# its xdg_surface and xdg_toplevel, entered by the keyboard and not left.
# (libwayland 1.22 writes objects as name#id, earlier ones as name@id.)
HAS_KEYBOARD='
function id(kind) { return match($0, kind "@[0-9]+") ? substr($0, RSTART, RLENGTH) : "" }
{ gsub(/#/, "@") }
/get_xdg_surface\(/ { surface[id("xdg_surface")] = id("wl_surface") }
/get_toplevel\(/ { top[id("xdg_toplevel")] = surface[id("xdg_surface")] }
/set_title\(/ && index($0, "(\"" title "\")") { want = top[id("xdg_toplevel")] }
/wl_keyboard@[0-9]+\.enter\(/ { on = id("wl_surface") }
/wl_keyboard@[0-9]+\.leave\(/ { on = "" }
END { exit !(want != "" && on == want) }'
has_keyboard() { awk -v title="$1" "$HAS_KEYBOARD" "$scratch/wayland.log"; }
# The compositor has a keyboard to give once wtype has made one: a Shift
# pressed alone, which types nothing, makes it.
focused() {
	local end=$((SECONDS + WAIT)) poke=$SECONDS
	until has_keyboard "$1"; do
		[ $SECONDS -lt $poke ] || { keys -k Shift_L; poke=$((SECONDS + 1)); }
		[ $SECONDS -lt $end ] || fail "the window '$1' never got the keyboard:
$(grep -E 'get_xdg_surface|get_toplevel|set_title|keyboard.*(enter|leave)' "$scratch/wayland.log" | tail -n 12)"
		sleep 0.1
	done
}
load() { # file; Tabs from its button to Update
	local end
	keys -k space
	focused "Choose File"
	# the whole path over whatever the field holds, so that a second try
	# types the same, where the first one's Return was lost; closed when
	# the main window has the keyboard back
	for try in 1 2; do
		keys -M ctrl a -m ctrl
		keys "$PWD/$1"
		keys -k Return
		end=$((SECONDS + (try == 1 ? 5 : WAIT)))
		until has_keyboard Merrivane || [ $SECONDS -ge $end ]; do sleep 0.1; done
		has_keyboard Merrivane && break
		[ "$try" = 1 ] || fail "the chooser did not close"
		echo "the chooser's keys typed once more" >&2
	done
	for _ in $(seq "$2"); do keys -k Tab; done
	keys -k space
}
# Waits until region $1 shows the text whose ink is $2.
shows() {
	local end=$((SECONDS + WAIT))
	until [ "$(text "$1")" = "$2" ]; do
		[ $SECONDS -lt $end ] || fail "$3"
		sleep 0.1
	done
}

WAYLAND_DEBUG=client "$prog" 2>"$scratch/wayland.log" &
pid=$!
timeout "$WAIT" bash -c "until [ \"\$(grim -g '$CAP' - | convert - -format %k info:)\" -gt 2 ]; do sleep 0.1; done" ||
	fail "no window"
zero=$(settled "$CAP")
grep -q 'set_app_id("merrivane")' "$scratch/wayland.log" || fail "no app_id merrivane"
grep -q 'set_title("Merrivane")' "$scratch/wayland.log" || fail "no title Merrivane"
# until the window has the keyboard, keys are lost
focused Merrivane

# Tab order: the four fields, "Spool File", "Line File", "Update", "Help"
spool 3.5 6 1.5 0.02
typed=$(settled "$CAP" "$zero")
keys -k Tab -k Tab -k Tab -k Tab
spool 1 2 1 0.1
small=$(settled "$CAP" "$typed")
load spool.txt 2
keys -M shift -k Tab -m shift
load line.txt 1
[ "$(settled "$CAP" "$small")" = "$typed" ] || fail "the loaded files show another capacity than typing them"

# 6454.1 drawn by the spool width field, left for the next: Update, Help, it
shown=$(text "$CAP_IN")
keys -k Tab -k Tab
spool 6454.1
shows "$SW_IN" "$shown" "the capacity shown is not 6454.1"
echo "native Wayland, app_id merrivane: 6454.1 typed and loaded through the chooser"
