#!/bin/bash
# The capacity tests, built for x86-64, under emulators whose x87 unit
# computes in doubles: valgrind, and box64 (an ARM64 program, run here under
# qemu) where MERRIVANE_BOX64_ROOT names a folder holding it and its
# libraries (scripts/box64-root.sh). The model must notice and give the
# real unit's bits all the same.
#   emulators_test.sh CAPACITY_TEST
set -eu
test=$1
status=0 ran=0
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for emulator in valgrind box64; do
	case $emulator in
	valgrind)
		command -v valgrind >/dev/null || { echo "valgrind: not installed, skipped"; continue; }
		run=(valgrind --tool=none -q) ;;
	box64)
		root=${MERRIVANE_BOX64_ROOT:-}
		[ -x "$root/usr/bin/box64" ] || { echo "box64: no MERRIVANE_BOX64_ROOT, skipped"; continue; }
		run=(qemu-aarch64-static -L "$root" "$root/usr/bin/box64") ;;
	esac
	if MERRIVANE_X87_EMULATED=1 BOX64_LOG=0 "${run[@]}" "$test" --gtest_brief=1 >"$log" 2>&1; then
		echo "$emulator: $(grep -o 'PASSED.*' "$log")"
		ran=$((ran + 1))
	else
		cat "$log" >&2
		echo "$emulator: the capacity tests failed" >&2
		status=1
	fi
done
[ "$ran" -gt 0 ] || [ "$status" -ne 0 ] || { echo "no emulator ran"; exit 77; }
exit "$status"
