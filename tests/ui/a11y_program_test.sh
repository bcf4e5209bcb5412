#!/bin/bash
# The real program read through AT-SPI by a real client (a11y_client.py),
# on the test's display, in a D-Bus session of its own (dbus-run-session)
# with its own accessibility bus, turned on as a desktop does when a
# screen reader starts.
set -eu
prog=$(realpath "$1")
client=$(dirname "$(realpath "$0")")/a11y_client.py
. "$(dirname "$0")/a11y_bus.sh"

enter_scratch
accessibility_bus
accessibility true
start "$prog"
# a desktop gives a new window the keyboard; Xvfb alone does not
[ -n "${WAYLAND_DISPLAY:-}" ] || xdotool windowfocus --sync "$(find_window Merrivane)"
/usr/bin/python3 "$client"
