#!/bin/bash
# The real program, driven only by real input: load a spool file and a line
# file through the chooser, then read the fields back through the clipboard.
set -eu
prog=$(realpath "$1")
. "$(dirname "$0")/../ui/session.sh"

enter_scratch
start "$prog"
main=$(find_window Merrivane)

# what the field at y shows, copied as a user would
field() {
	printf '' | xclip -selection clipboard
	type_into "$main" "$1" ctrl+c
	timeout "$WAIT" bash -c 'until [ -n "$(xclip -o -selection clipboard 2>/dev/null)" ]; do :; done'
	xclip -o -selection clipboard
}

load "$main" "$Y_SPOOL_FILE" s p o o l period t x t
load "$main" "$Y_LINE_FILE" l i n e period t x t
for expect in "$Y_SW 3.5" "$Y_OD 6" "$Y_ID 1.5" "$Y_LW 0.02"; do
	set -- $expect
	got=$(field "$1")
	[ "$got" = "$2" ] || fail "field at y $1 shows '$got', not '$2'"
done
echo "spool and line file loaded through the chooser"
