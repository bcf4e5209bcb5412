#!/bin/bash
# The real program under valgrind's memcheck through a whole session: type
# the dimensions, load a spool file and a line file, open Help, close both
# windows. Any invalid access, use of uninitialised values or definitely
# lost block fails the test.
set -eu
prog=$(realpath "$1")
close_window=$(realpath "$2")
supp=$(realpath "$(dirname "$0")/../memcheck.supp")
. "$(dirname "$0")/session.sh"
WAIT=120

enter_scratch
FAIL_LOG=$scratch/memcheck.log
start valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
	--errors-for-leak-kinds=definite --show-leak-kinds=definite \
	--suppressions="$supp" --log-file="$scratch/memcheck.log" "$prog"
main=$(find_window Merrivane)

type_into "$main" "$Y_SW" 1
type_into "$main" "$Y_OD" 2
type_into "$main" "$Y_ID" 1
type_into "$main" "$Y_LW" 0 period 1
load "$main" "$Y_SPOOL_FILE" s p o o l period t x t
load "$main" "$Y_LINE_FILE" l i n e period t x t
press_help "$main"
help=$(find_window Help)
"$close_window" "$help"
gone Help
"$close_window" "$main"

ended
grep -E 'ERROR SUMMARY|definitely lost' "$scratch/memcheck.log"
