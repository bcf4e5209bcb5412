#!/bin/bash
# Installs what is missing, builds Merrivane and starts it. As test.sh,
# MERRIVANE_WERROR=ON makes warnings errors, so that the two share build/.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh run
cmake -S . -B build -DMERRIVANE_TESTS=OFF -DMERRIVANE_BENCH=OFF -DMERRIVANE_WERROR="${MERRIVANE_WERROR:-OFF}"
cmake --build build -j"$(nproc)" --target merrivane
exec build/merrivane
