#!/bin/bash
# The screen reader bridge where the desktop does not ask for it or cannot
# answer; in each case the window comes up, computes as typed and ends
# with status 0:
#   no_session_bus  nothing is started, nor a bus autolaunched;
#   silent_owner    org.a11y.Bus is owned by one that never answers;
#   off_then_on     accessibility off: the program is not on the
#                   accessibility bus, until a screen reader starts.
# Each case runs in a D-Bus session of its own, but the first.
set -eu
prog=$(realpath "$1")
case=${2:-}
. "$(dirname "$0")/a11y_bus.sh"

on_bus() { /usr/bin/python3 -c 'import pyatspi, sys
sys.exit(not any(a and a.name == "merrivane" for a in pyatspi.Registry.getDesktop(0)))' 2>/dev/null; }

# the program used as anyone would, then ended by Escape
use() {
	main=$(find_window Merrivane)
	zero=$(capacity)
	type_spool "3 period 5" "6" "1 period 5" "0 period 0 2"
	capacity "$zero" >/dev/null
}
quit() {
	xdotool mousemove --window "$main" 100 270 key Escape
	ended
}

enter_scratch
case $case in
'')
	mkdir -p "$scratch/run"
	env -u DBUS_SESSION_BUS_ADDRESS XDG_RUNTIME_DIR="$scratch/run" "$0" "$prog" no_session_bus
	for c in silent_owner off_then_on; do dbus-run-session -- "$0" "$prog" "$c"; done
	echo "no session bus, a silent a11y bus, accessibility off and then on: the window never waited"
	;;
no_session_bus)
	start "$prog"
	use
	quit
	! xprop -root _DBUS_SESSION_BUS_ADDRESS | grep -q = || fail "a session bus was autolaunched"
	;;
silent_owner)
	/usr/bin/python3 -c 'from gi.repository import Gio, GLib
bus = Gio.bus_get_sync(Gio.BusType.SESSION)
bus.add_filter(lambda c, m, incoming: None if incoming and m.get_message_type() == Gio.DBusMessageType.METHOD_CALL else m)
bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
	GLib.Variant("(su)", ("org.a11y.Bus", 4)), None, 0, -1, None)
print(flush=True)
GLib.MainLoop().run()' >"$scratch/owner" &
	owner=$!
	timeout "$WAIT" bash -c "until [ -s '$scratch/owner' ]; do sleep 0.1; done" || fail "org.a11y.Bus not owned"
	start "$prog"
	use
	quit
	kill "$owner"
	;;
off_then_on)
	accessibility_bus
	accessibility false
	start "$prog"
	use
	! on_bus || fail "on the accessibility bus with accessibility off"
	accessibility true
	timeout "$WAIT" bash -c "until $(declare -f on_bus); on_bus; do sleep 0.2; done" || fail "not on the accessibility bus once it was turned on"
	quit
	;;
esac
