#!/bin/bash
# Windows: the console and the null device typed into the chooser, with or
# without an extension, are never read: Update changes no field and the
# window keeps answering. (Ports are left to the unit tests: Wine maps them
# to the machine's serial and parallel devices.)
set -eu
prog=$(realpath "$1")
. "$(dirname "$0")/../ui/session.sh"

enter_scratch
start "$prog"
main=$(find_window Merrivane)
zero=$(capacity)
type_spool "1" "2" "1" "0 period 1"
before=$(capacity "$zero")

for name in "c o n period t x t" "C O N" "n u l"; do
	load "$main" "$Y_SPOOL_FILE" $name
done
load "$main" "$Y_LINE_FILE" N U L period t x t
[ "$(capacity)" = "$before" ] || fail "the capacity changed"
for expect in "$Y_SW 1" "$Y_OD 2" "$Y_ID 1" "$Y_LW 0.1"; do
	set -- $expect
	got=$(field "$1")
	[ "$got" = "$2" ] || fail "field at y $1 shows '$got', not '$2'"
done
echo "device names in the chooser changed no field"
