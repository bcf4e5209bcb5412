# An accessibility bus for the program tests, in the D-Bus session they
# run in (dbus-run-session), and what a desktop does with it. Sourced after
# session.sh's functions.
. "$(dirname "${BASH_SOURCE[0]}")/session.sh"
# no dconf: the launcher keeps its settings in memory
export GSETTINGS_BACKEND=memory
launcher=

accessibility_bus() {
	/usr/libexec/at-spi-bus-launcher >/dev/null 2>&1 &
	launcher=$!
	trap 'set +e; [ -n "$pid" ] && kill "$pid" 2>/dev/null; kill "$launcher" 2>/dev/null; [ -n "$scratch" ] && rm -rf "$scratch"; true' EXIT
	timeout "$WAIT" bash -c 'until gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
		--method org.a11y.Bus.GetAddress >/dev/null 2>&1; do sleep 0.1; done' || fail "no accessibility bus"
}

# Turns assistive technology on (true) or off (false), as the desktop's
# setting does.
accessibility() {
	gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
		--method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled "<$1>" >/dev/null
}
