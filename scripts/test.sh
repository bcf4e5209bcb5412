#!/bin/bash
# Installs what is missing, builds Merrivane twice (plain, and with Address-
# and UndefinedBehaviorSanitizer) and runs every test in both builds, then
# the fuzzer.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh test

jobs=$(nproc)
# options given in full: build/ may have been set up by run.sh without tests
cmake -S . -B build -DMERRIVANE_TESTS=ON -DMERRIVANE_BENCH=ON -DMERRIVANE_SANITIZE=OFF
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j"$jobs"

cmake -S . -B build-sanitize -DMERRIVANE_SANITIZE=ON -DMERRIVANE_TESTS=ON -DMERRIVANE_BENCH=OFF
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
	ctest --test-dir build-sanitize --output-on-failure --no-tests=error -j"$jobs"

# Any bytes as a data file, for 30 seconds.
CXX=clang++ cmake -S . -B build-fuzz -DMERRIVANE_FUZZ=ON -DMERRIVANE_TESTS=OFF -DMERRIVANE_BENCH=OFF
cmake --build build-fuzz -j"$jobs"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
build-fuzz/fuzz/read_parse_fuzzer -max_total_time=30 -print_final_stats=1 "$corpus" fuzz/corpus
