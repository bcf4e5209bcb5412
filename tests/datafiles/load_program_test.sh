#!/bin/bash
# The real program, driven only by real input: load a spool file and a line
# file through the chooser, then read the fields back through the clipboard.
set -eu
prog=$(realpath "$1")

dir=$(mktemp -d)
pid=
cleanup() {
	[ -n "$pid" ] && kill "$pid" 2>/dev/null
	rm -rf "$dir"
}
trap cleanup EXIT
cd "$dir"
export HOME=$dir
printf '3.5\t6\t1.5\r\n' >spool.txt
printf '0.02\n' >line.txt

"$prog" &
pid=$!
main=$(timeout 20 xdotool search --sync --onlyvisible --name '^Merrivane$' | head -n 1)

# y of a file button in the main window, keys of the bare file name
pick() {
	xdotool mousemove --window "$main" 322 "$1" click 1
	chooser=$(timeout 20 xdotool search --sync --onlyvisible --name '^Choose File$' | head -n 1)
	xdotool mousemove --window "$chooser" 475 318 click 1 key End $2 Return
	timeout 20 bash -c "while xdotool search --onlyvisible --name '^Choose File$' >/dev/null; do :; done"
	xdotool mousemove --window "$main" 322 222 click 1
}

# what the field at y shows, copied as a user would
field() {
	printf '' | xclip -selection clipboard
	xdotool mousemove --window "$main" 224 "$1" click 1 key ctrl+a ctrl+c
	timeout 10 bash -c 'until [ -n "$(xclip -o -selection clipboard 2>/dev/null)" ]; do :; done'
	xclip -o -selection clipboard
}

expect() {
	local got
	got=$(field "$1")
	[ "$got" = "$2" ] || { echo "field at y $1 shows '$got', not '$2'" >&2; exit 1; }
}

pick 49 "s p o o l period t x t"
pick 179 "l i n e period t x t"
expect 48 3.5
expect 91 6
expect 134 1.5
expect 177 0.02
echo "spool and line file loaded through the chooser"
