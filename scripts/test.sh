#!/bin/bash
# Installs what is missing, builds Merrivane twice (plain, and with Address-
# and UndefinedBehaviorSanitizer) and runs every test in both builds.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
cmake -S . -B build
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-sanitize -DMERRIVANE_SANITIZE=ON -DMERRIVANE_BENCH=OFF
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
	ctest --test-dir build-sanitize --output-on-failure -j"$jobs"
