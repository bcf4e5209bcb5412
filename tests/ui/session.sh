# Drives the real program on the test's X server with real input. Sourced
# by the program tests. WAIT is how long to wait for a window, in seconds;
# FAIL_LOG, when set, is a file shown on failure; MERRIVANE_EMULATOR, when
# set, runs the programs built for another machine (qemu, wine).

WAIT=${WAIT:-20}
FAIL_LOG=
pid=
scratch=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "$scratch" ] && rm -rf "$scratch"; true' EXIT
trap 'exit 143' HUP INT TERM

fail() {
	[ -n "$FAIL_LOG" ] && cat "$FAIL_LOG" >&2
	echo "$*" >&2
	exit 1
}

# A scratch directory, made current and HOME (the chooser keeps its
# preferences there), holding a spool file and a line file.
enter_scratch() {
	scratch=$(mktemp -d)
	cd "$scratch"
	export HOME=$scratch
	printf '3.5\t6\t1.5\r\n' >spool.txt
	printf '0.02\n' >line.txt
}

run() { ${MERRIVANE_EMULATOR:-} "$@"; }

start() { run "$@" & pid=$!; }

find_window() { timeout "$WAIT" xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }

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
