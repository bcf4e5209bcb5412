#!/bin/bash
# Cross-builds Merrivane for Debian arm64 into build-arm64/, runs its tests
# under qemu-aarch64-static (GUI tests on a private Xvfb) and makes the arm64
# Debian package there. Installs what is missing (arm64 multiarch packages
# included), through sudo when not root.
set -eu
cd "$(dirname "$0")/.."
bash scripts/setup.sh test

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
host_packages=(g++-aarch64-linux-gnu qemu-user-static)
arm64_packages=(libfltk1.3-dev:arm64 libgtest-dev:arm64 libx11-dev:arm64)
missing=()
for p in "${host_packages[@]}" "${arm64_packages[@]}"; do
	dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
	echo "installing: ${missing[*]}"
	dpkg --print-foreign-architectures | grep -qx arm64 || $sudo dpkg --add-architecture arm64
	$sudo env DEBIAN_FRONTEND=noninteractive apt-get update
	$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

export DEB_HOST_MULTIARCH=aarch64-linux-gnu
jobs=$(nproc)
cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
	-DMERRIVANE_TESTS=ON -DMERRIVANE_BENCH=OFF
cmake --build build-arm64 -j"$jobs"
ctest --test-dir build-arm64 --output-on-failure --no-tests=error -j"$jobs"
(cd build-arm64 && cpack -G DEB)
ls -l build-arm64/merrivane_*_arm64.deb
