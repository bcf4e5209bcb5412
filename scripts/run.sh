#!/bin/bash
# Installs what is missing, builds Merrivane and starts it.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh run
cmake -S . -B build -DMERRIVANE_TESTS=OFF -DMERRIVANE_BENCH=OFF
cmake --build build -j"$(nproc)" --target merrivane
exec build/merrivane
