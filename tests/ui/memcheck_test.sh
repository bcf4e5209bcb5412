#!/bin/bash
# The real program under valgrind's memcheck through a whole session: type
# the dimensions, load a spool file and a line file, open Help, close both
# windows. Any invalid access, use of uninitialised values or definitely
# lost block fails the test.
set -eu
prog=$(realpath "$1")
close_window=$(realpath "$2")
supp=$(realpath "$(dirname "$0")/../memcheck.supp")

dir=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null; rm -rf "$dir"' EXIT
cd "$dir"
export HOME=$dir
printf '3.5\t6\t1.5\r\n' >spool.txt
printf '0.02\n' >line.txt

valgrind --tool=memcheck --error-exitcode=99 --leak-check=full \
	--errors-for-leak-kinds=definite --show-leak-kinds=definite \
	--suppressions="$supp" --log-file="$dir/memcheck.log" "$prog" &
pid=$!

find_window() { timeout 120 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
gone() { timeout 60 bash -c "while xdotool search --onlyvisible --name '^$1\$' >/dev/null 2>&1; do :; done"; }

main=$(find_window Merrivane)
for field in "48 1" "91 2" "134 1" "177 0 period 1"; do
	set -- $field
	y=$1
	shift
	xdotool mousemove --window "$main" 224 "$y" click 1 key ctrl+a "$@"
done
for pick in "49 s p o o l period t x t" "179 l i n e period t x t"; do
	set -- $pick
	y=$1
	shift
	xdotool mousemove --window "$main" 322 "$y" click 1
	chooser=$(find_window 'Choose File')
	xdotool mousemove --window "$chooser" 475 318 click 1 key End "$@" Return
	gone 'Choose File'
	xdotool mousemove --window "$main" 322 222 click 1
done
xdotool mousemove --window "$main" 44 264 click 1
help=$(find_window Help)
"$close_window" "$help"
gone Help
"$close_window" "$main"

status=0
timeout 120 tail --pid="$pid" -f /dev/null || { echo "program did not end" >&2; exit 1; }
wait "$pid" || status=$?
pid=
if [ "$status" != 0 ]; then
	cat "$dir/memcheck.log" >&2
	echo "exit status $status" >&2
	exit 1
fi
grep -E 'ERROR SUMMARY|definitely lost' "$dir/memcheck.log"
