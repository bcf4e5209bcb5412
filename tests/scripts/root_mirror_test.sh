#!/bin/bash
# The mirror of this machine's main suite, which cross.sh's fresh roots are
# made from, found in either apt sources format: not the security or
# updates suite's, nor one with a longer name, options and comments skipped.
set -eu
. "$1/scripts/debian-root.sh"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
status=0
check() { # file name, want, text
	printf '%b' "$3" >"$dir/$1"
	got=$(root_mirror "$dir/$1" bookworm)
	[ "$got" = "$2" ] || { echo "$1: got '$got', want '$2' from:" >&2; cat "$dir/$1" >&2; status=1; }
}
check a.sources http://m/debian 'Types: deb\nURIs: http://s/debian-security\nSuites: bookworm-security\n\nTypes: deb\n# a comment\nURIs: http://m/debian\nSuites: bookworm bookworm-updates\nComponents: main\n'
check b.sources http://m/debian 'Types: deb\nURIs: http://u/debian\nSuites: bookworm-updates\n\nTypes: deb\nURIs: http://m/debian\nSuites: bookworm\n'
check c.list http://m/debian 'deb http://s/debian-security bookworm-security main\ndeb [signed-by=/k arch=amd64] http://m/debian bookworm main\n'
check d.list http://m/debian '# deb http://old/debian bookworm main\ndeb-src http://src/debian bookworm main\ndeb http://m/debian bookworm main contrib\n'
check e.list '' 'deb http://m/debian trixie main\n'
exit "$status"
