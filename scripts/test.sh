#!/bin/bash
# Installs what is missing and runs every test: in a plain build (the
# capacity tests under valgrind too, and as root under box64); in a build
# with Address- and UndefinedBehaviorSanitizer, where the capacity model runs
# on the software extended type; the capacity tests with a 64-bit long
# double, as on machines without the x87 format; everything once more with
# clang, built only; then the fuzzer. MERRIVANE_WERROR=ON (CI) makes every
# warning in the program's own code an error.
# MERRIVANE_SAME_MODEL=1 (CI, on a second root of one release) leaves out
# what the FLTK installed cannot change and a root of the same compilers
# has run already: the differential and x86 emulator tests and the 64-bit
# long double build. The fuzzer drives FLTK's fields, so it stays.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh test

jobs=$(nproc)
werror=-DMERRIVANE_WERROR=${MERRIVANE_WERROR:-OFF}
same_model=${MERRIVANE_SAME_MODEL:-}
skip=()
[ -z "$same_model" ] || { skip=(-LE 'differential|emulator'); echo "test.sh: the model's own checks ran in another root"; }
# box64 for the x86 emulator tests, beside valgrind: unpacked as root only
if [ -z "$same_model" ] && [ "$(uname -m)" = x86_64 ] && [ "$(id -u)" -eq 0 ]; then
	bash scripts/box64-root.sh "$PWD/build-box64"
	export MERRIVANE_BOX64_ROOT=$PWD/build-box64
fi
# options given in full: build/ may have been set up by run.sh without tests
cmake -S . -B build "$werror" -DMERRIVANE_TESTS=ON -DMERRIVANE_BENCH=ON -DMERRIVANE_SANITIZE=OFF -DMERRIVANE_SOFT_EXTENDED=OFF
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j"$jobs" "${skip[@]}"
cmake -DDIR=build -P cmake/SlowestTests.cmake

cmake -S . -B build-sanitize "$werror" -DMERRIVANE_SANITIZE=ON -DMERRIVANE_SOFT_EXTENDED=ON \
	-DMERRIVANE_DIFF_OPS=1000000 -DMERRIVANE_TESTS=ON -DMERRIVANE_BENCH=OFF
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
	ctest --test-dir build-sanitize --output-on-failure --no-tests=error -j"$jobs" "${skip[@]}"
cmake -DDIR=build-sanitize -P cmake/SlowestTests.cmake

if [ -z "$same_model" ]; then
	cmake -S . -B build-ld64 "$werror" -DMERRIVANE_LONG_DOUBLE_64=ON -DMERRIVANE_TESTS=ON
	cmake --build build-ld64 -j"$jobs"
	ctest --test-dir build-ld64 --output-on-failure --no-tests=error -j"$jobs"
	cmake -DDIR=build-ld64 -P cmake/SlowestTests.cmake
fi

# built only, for clang's warnings: no debug information
CXX=clang++ cmake -S . -B build-clang "$werror" -DMERRIVANE_TESTS=ON -DMERRIVANE_BENCH=ON \
	-DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -DNDEBUG"
cmake --build build-clang -j"$jobs"

# Any bytes as a data file, for 30 seconds.
CXX=clang++ cmake -S . -B build-fuzz "$werror" -DMERRIVANE_FUZZ=ON -DMERRIVANE_TESTS=OFF -DMERRIVANE_BENCH=OFF
cmake --build build-fuzz -j"$jobs"
corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
build-fuzz/fuzz/read_parse_fuzzer -max_total_time=30 -print_final_stats=1 "$corpus" fuzz/corpus
