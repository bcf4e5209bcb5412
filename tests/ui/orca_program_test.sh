#!/bin/bash
# Orca itself, headless, reading the real program: what it says as the
# keyboard alone walks the main window, types the README spool (and hears
# the capacity), reads the help line by line, and picks spool.txt in the
# chooser for Update. Speech goes to speech-dispatcher's dummy module; the
# test follows Orca's own log of what it said.
set -eu
prog=$(realpath "$1")
. "$(dirname "$0")/a11y_bus.sh"

enter_scratch
mkdir -p .config/speech-dispatcher .orca
printf 'AddModule "dummy" "sd_dummy" ""\nDefaultModule dummy\n' >.config/speech-dispatcher/speechd.conf
accessibility_bus
accessibility true
start "$prog"
main=$(find_window Merrivane)
xdotool windowfocus --sync "$main"

# Orca writes its log through a buffer: here a line at a time, so that
# the test can follow what it says. Orca will not start beside another of
# the same user anywhere on the machine (pgrep -u), as in a test running
# meanwhile in another root: this one, alone in its session, finds none.
log=$scratch/.orca/log
mkdir bin
printf '#!/bin/sh\nexit 1\n' >bin/pgrep
chmod +x bin/pgrep
PATH=$scratch/bin:$PATH /usr/bin/python3 -c '
import builtins, runpy, sys
plain, log = builtins.open, sys.argv[-1]
builtins.open = lambda f, m="r", *a, **k: plain(f, m, 1) if f == log else plain(f, m, *a, **k)
sys.argv[0] = "/usr/bin/orca"
runpy.run_path("/usr/bin/orca", run_name="__main__")' -u "$scratch/.orca" --debug-file "$log" >/dev/null 2>&1 &
orca=$!
trap 'set +e; kill "$orca" "$pid" "$launcher" 2>/dev/null; rm -rf "$scratch"; true' EXIT
heard=0
# Waits until Orca has said $1 (the start of an utterance, in any case)
# since the last thing heard, for $2 seconds (WAIT by default). Orca
# names roles in words of its own version ("push button", "button"): the
# test listens for the names.
hear() {
	local end=$((SECONDS + ${2:-$WAIT})) at
	while [ $SECONDS -lt $end ]; do
		at=$(tail -n +"$((heard + 1))" "$log" 2>/dev/null | grep -n -m 1 -i -F "SPEECH OUTPUT: '$1" | cut -d: -f1)
		[ -n "$at" ] && { heard=$((heard + at)); return; }
		sleep 0.1
	done
	[ -n "${2:-}" ] && return 1
	fail "Orca did not say '$1'; it said: $(grep -o "SPEECH OUTPUT: '[^']*" "$log" | tail -n 8 | cut -c16- | tr '\n' '|')"
}
key() { xdotool key "$@"; }
# Orca starved (under load) takes a key that closes a window only after
# the window has gone: it finds the focused widget itself, silently, and
# the focus event after says nothing new. Then $1 is heard as the focus
# comes back to it from $2, one key at a time: Orca drops a focus event
# that one in a sibling follows.
back() {
	hear "$1" 5 && return
	echo "Orca took $1 as the focus without saying it; heard as the focus came back from $2" >&2
	key shift+Tab
	hear "$2"
	key Tab
	hear "$1"
}

hear "spool width (in)"
for field in "3 period 5:outer diameter (in)" "6:hub diameter (in)" "1 period 5:line width (in)"; do
	key ctrl+a ${field%%:*} Tab
	hear "${field#*:}"
done
key ctrl+a 0 period 0 2
hear "capacity (yds) 6454.1"
for button in "Spool File" "Line File" Update Help; do
	key Tab
	hear "$button"
done

key space
xdotool windowfocus --sync "$(find_window Help)"
hear "Merrivane 1.00"
key Down
hear blank
key Down
hear "This program calculates the line capacity of a spool."
key Escape
xdotool windowfocus --sync "$main"
back Help Update

# another spool, then spool.txt picked and loaded: the capacity heard again
key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
hear "spool width (in)"
key ctrl+a 1
hear "capacity (yds) "
key Tab Tab Tab Tab
hear "Spool File"
key space
xdotool windowfocus --sync "$(find_window 'Choose File')"
hear "Filename"
key Tab Tab Tab Tab
# down the list, each file heard, to spool.txt
for _ in 1 2 3 4 5 6; do
	key Down
	hear "spool.txt" 2 && break
done
key Return
gone 'Choose File'
xdotool windowfocus --sync "$main"
back "Spool File" "line width (in)"
key Tab Tab
hear "Update"
key space
hear "capacity (yds) 6454.1"
echo "Orca said each field, button, the help's lines, the chooser's items and the capacity"
