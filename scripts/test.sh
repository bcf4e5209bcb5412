#!/bin/bash
# Installs what is missing, builds Merrivane twice (plain, and with Address-
# and UndefinedBehaviorSanitizer) and runs every test in both builds.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh test

jobs=$(nproc)
cmake -S . -B build
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-sanitize -DMERRIVANE_SANITIZE=ON -DMERRIVANE_BENCH=OFF
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
	ctest --test-dir build-sanitize --output-on-failure -j"$jobs"

# Any bytes as a data file, for 30 seconds, when clang is at hand.
if command -v clang++ >/dev/null; then
	CXX=clang++ cmake -S . -B build-fuzz -DMERRIVANE_FUZZ=ON -DMERRIVANE_TESTS=OFF -DMERRIVANE_BENCH=OFF
	cmake --build build-fuzz -j"$jobs"
	corpus=$(mktemp -d)
	build-fuzz/fuzz/read_parse_fuzzer -max_total_time=30 -print_final_stats=1 "$corpus" fuzz/corpus
	rm -rf "$corpus"
fi
