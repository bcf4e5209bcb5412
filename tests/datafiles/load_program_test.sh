#!/bin/bash
# The real program, driven only by real input: a spool file and a line file
# loaded through the chooser fill the fields, read back through the
# clipboard, and show the very same capacity as typing their dimensions
# does, while another spool shows another. The capacity field offers no
# text to copy, so it is compared as pixels.
set -eu
prog=$(realpath "$1")
. "$(dirname "$0")/../ui/session.sh"

enter_scratch
start "$prog"
main=$(find_window Merrivane)

# Each spool is refused until its last key, so the capacity changes once.
zero=$(capacity)
type_spool "3 period 5" "6" "1 period 5" "0 period 0 2"
typed=$(capacity "$zero")
type_into "$main" "$Y_LW" 0
type_spool "1" "2" "1" "0 period 1"
capacity "$typed" >/dev/null # another spool shows another capacity

load "$main" "$Y_SPOOL_FILE" s p o o l period t x t
load "$main" "$Y_LINE_FILE" l i n e period t x t
capacity_becomes "$typed" "the loaded files show another capacity than typing them"
for expect in "$Y_SW 3.5" "$Y_OD 6" "$Y_ID 1.5" "$Y_LW 0.02"; do
	set -- $expect
	got=$(field "$1")
	[ "$got" = "$2" ] || fail "field at y $1 shows '$got', not '$2'"
done
echo "spool and line file loaded through the chooser; same capacity as typed"
