#!/bin/bash
# Installs the Debian packages Merrivane needs to build and test, if missing.
set -eu

packages=(
	build-essential cmake pkg-config
	libfltk1.3-dev
	googletest libgtest-dev libbenchmark-dev
	xvfb xdotool xauth xclip
	locales clang libclang-rt-dev
	desktop-file-utils dpkg-dev valgrind cppcheck clang-tidy
)

missing=()
for p in "${packages[@]}"; do
	dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
