#!/bin/bash
# Installs the Debian packages Merrivane needs, if missing.
#   setup.sh run [more...]    what building and running the program takes
#   setup.sh test [more...]   that, and the test toolchain
#   setup.sh only more...     just the packages named
# Packages named with an architecture (libx11-dev:arm64) bring it in.
# Uses sudo when not root.
set -eu

# libfltk1.3-dev only recommends fluid, but its CMake files import it.
run_packages=(
	build-essential cmake
	libfltk1.3-dev fluid
)
test_packages=(
	"${run_packages[@]}"
	googletest libgtest-dev libbenchmark-dev libmpfr-dev
	xvfb xdotool xauth x11-utils xclip imagemagick
	locales clang libclang-rt-dev
	valgrind cppcheck clang-tidy
	desktop-file-utils appstream lintian man-db groff-base
	dpkg-dev file
)

case "${1:-}" in
run) packages=("${run_packages[@]}") ;;
test) packages=("${test_packages[@]}") ;;
only) packages=() ;;
*) echo "usage: $0 run|test|only [package...]" >&2; exit 2 ;;
esac
shift
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
	dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
if [ "$(id -u)" -ne 0 ]; then
	command -v sudo >/dev/null || { echo "need root or sudo to install: ${missing[*]}" >&2; exit 1; }
	sudo=sudo
fi
echo "installing: ${missing[*]}"
for arch in $(printf '%s\n' "${missing[@]}" | sed -n 's/.*:\(.*\)/\1/p' | sort -u); do
	dpkg --print-foreign-architectures | grep -qx "$arch" || $sudo dpkg --add-architecture "$arch"
done
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
