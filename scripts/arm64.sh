#!/bin/bash
# Cross-builds Merrivane for Debian arm64 into build-arm64/, runs its tests
# under qemu-aarch64-static (GUI tests on a private Xvfb) and makes the arm64
# Debian package there. Installs what is missing (arm64 multiarch packages
# included), through sudo when not root.
#   arm64.sh                  all of that
#   arm64.sh --package-only   the program and its package, no tests
set -eu
cd "$(dirname "$0")/.."
umask 0022 # the packages' file modes follow it
if [ "${1:-}" = --package-only ]; then
	tests=OFF
	bash scripts/setup.sh run dpkg-dev file g++-aarch64-linux-gnu qemu-user-static libfltk1.3-dev:arm64
else
	tests=ON
	bash scripts/setup.sh test g++-aarch64-linux-gnu qemu-user-static \
		libfltk1.3-dev:arm64 libgtest-dev:arm64 libx11-dev:arm64
fi

export DEB_HOST_MULTIARCH=aarch64-linux-gnu
jobs=$(nproc)
cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
	-DMERRIVANE_TESTS="$tests" -DMERRIVANE_BENCH=OFF -DMERRIVANE_WERROR="${MERRIVANE_WERROR:-OFF}"
cmake --build build-arm64 -j"$jobs"
[ "$tests" = OFF ] || ctest --test-dir build-arm64 --output-on-failure --no-tests=error -j"$jobs"
(cd build-arm64 && cpack -G DEB)
ls -l build-arm64/merrivane_*_arm64.deb
