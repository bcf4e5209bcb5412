# Drives the real program on the test's X server with real input. Sourced
# by the program tests. WAIT is how long to wait for a window, in seconds;
# FAIL_LOG, when set, is a file shown on failure; MERRIVANE_EMULATOR, when
# set, runs the programs built for another machine (qemu, wine).

. "$(dirname "${BASH_SOURCE[0]}")/screen_dpi.sh"

WAIT=${WAIT:-20}
[ -z "${MERRIVANE_EMULATOR:-}" ] || WAIT=$((WAIT * 3))
FAIL_LOG=
pid=
scratch=
# set +e: the program may be gone already, and the scratch folder must go
# whatever failed before
trap 'set +e; [ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "$scratch" ] && rm -rf "$scratch"; true' EXIT
trap 'exit 143' HUP INT TERM

fail() {
	[ -n "$FAIL_LOG" ] && cat "$FAIL_LOG" >&2
	echo "$*" >&2
	exit 1
}

# A scratch directory, made current and HOME (the chooser keeps its
# preferences there, FLTK 1.4 under XDG_CONFIG_HOME), holding a spool file
# and a line file.
enter_scratch() {
	scratch=$(mktemp -d)
	cd "$scratch"
	export HOME=$scratch XDG_CONFIG_HOME=$scratch/.config
	printf '3.5\t6\t1.5\r\n' >spool.txt
	printf '0.02\n' >line.txt
}

run() { ${MERRIVANE_EMULATOR:-} "$@"; }

# the program itself in the background, so that pid is its own
start() { ${MERRIVANE_EMULATOR:-} "$@" & pid=$!; }

find_window() {
	local w
	w=$(timeout "$WAIT" xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1)
	[ -n "$w" ] || fail "no window '$1' within $WAIT s"
	echo "$w"
}

gone() { timeout "$WAIT" bash -c "while xdotool search --onlyvisible --name '^$1\$' >/dev/null 2>&1; do :; done"; }

# Waits for the program to end and fails unless its status was 0.
ended() {
	timeout "$WAIT" tail --pid="$pid" -f /dev/null || fail "program still running"
	local status=0
	wait "$pid" || status=$?
	pid=
	[ "$status" = 0 ] || fail "exit status $status"
}

# Main window places: fields at x 224, buttons at x 322.
Y_SW=48 Y_OD=91 Y_ID=134 Y_LW=177
Y_SPOOL_FILE=49 Y_LINE_FILE=179 Y_UPDATE=222

type_into() { # main window, y of field, keysym names
	local main=$1 y=$2
	shift 2
	xdotool mousemove --window "$main" 224 "$y" click 1 key ctrl+a "$@"
}

press_help() { xdotool mousemove --window "$1" 44 264 click 1; }

# Opens the chooser with the file button at y, types the bare file name at
# the end of its Filename field, Return, then presses Update.
load() { # main window, y of file button, keysym names of the file name
	local main=$1 y=$2 chooser
	shift 2
	xdotool mousemove --window "$main" 322 "$y" click 1
	chooser=$(find_window 'Choose File')
	xdotool mousemove --window "$chooser" 475 318 click 1 key End "$@" Return
	gone 'Choose File'
	xdotool mousemove --window "$main" 322 "$Y_UPDATE" click 1
}

# The main window's handle is $main in what follows.

# What the field at y shows, copied as a user would.
field() {
	printf '' | xclip -selection clipboard
	type_into "$main" "$1" ctrl+c
	timeout "$WAIT" bash -c 'until [ -n "$(xclip -o -selection clipboard 2>/dev/null)" ]; do :; done'
	xclip -o -selection clipboard
}

# The capacity field's pixels, once they hold still and differ from $1,
# the pixels it showed before, where given: it offers no text to copy.
capacity() {
	local last= now end=$((SECONDS + WAIT))
	while [ $SECONDS -lt $end ]; do
		now=$(import -window "$main" -crop 75x24+187+209 rgb:- | sha1sum)
		[ "$now" = "$last" ] && [ "$now" != "${1:-}" ] && { echo "$now"; return; }
		last=$now
		sleep 0.1
	done
	fail "capacity field never held still${1:+ at a new value}"
}

# Waits until the capacity field shows the pixels $1.
capacity_becomes() {
	local end=$((SECONDS + WAIT))
	while [ $SECONDS -lt $end ]; do
		[ "$(import -window "$main" -crop 75x24+187+209 rgb:- | sha1sum)" = "$1" ] && return
		sleep 0.1
	done
	fail "${2:-the capacity field never showed the pixels expected}"
}

type_spool() { # four lists of keysym names
	type_into "$main" "$Y_SW" $1
	type_into "$main" "$Y_OD" $2
	type_into "$main" "$Y_ID" $3
	type_into "$main" "$Y_LW" $4
}
