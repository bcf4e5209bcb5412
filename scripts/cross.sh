#!/bin/bash
# Cross-builds Merrivane for another Debian architecture into build-ARCH/,
# runs its tests under qemu-user-static (GUI tests on a private Xvfb; the
# differential tests with a million operations of each kind) and, for arm64
# and armhf, makes the Debian package there. Installs what is missing (the
# architecture's multiarch packages included), through sudo when not root.
#   cross.sh ARCH                  all of that; ARCH: arm64 armhf i386 ppc64el s390x
#   cross.sh ARCH --package-only   the program and its package, no tests
# s390x: Debian's FLTK for it does not install (nor does its zlib1g), so
# FLTK 1.3.11 is built from the vendored sources (FLTK_TARBALL as for
# windows.sh), without Xft; it gets the whole suite but no package.
set -eu
cd "$(dirname "$0")/.."
umask 0022 # the packages' file modes follow it
arch=${1:-}
case $arch in
arm64) gnu=aarch64-linux-gnu qemu=aarch64 ;;
armhf) gnu=arm-linux-gnueabihf qemu=arm ;;
i386) gnu=i686-linux-gnu qemu=i386 ;;
ppc64el) gnu=powerpc64le-linux-gnu qemu=ppc64le ;;
s390x) gnu=s390x-linux-gnu qemu=s390x ;;
*) echo "usage: $0 arm64|armhf|i386|ppc64el|s390x [--package-only]" >&2; exit 2 ;;
esac
tests=ON
[ "${2:-}" = --package-only ] && tests=OFF
case $arch in arm64 | armhf) package=1 ;; *) package= ;; esac
[ "$tests" = ON ] || [ -n "$package" ] || { echo "$arch gets no package" >&2; exit 2; }

options=()
if [ "$arch" = s390x ]; then
	# without Xft FLTK draws in the X server's own fonts, helvetica in the
	# sizes the layout uses
	fltk=(libx11-dev:s390x libxext-dev:s390x xfonts-base xfonts-75dpi xfonts-100dpi)
	tarball=$(realpath -m "${FLTK_TARBALL:-../shared/vendor/fltk-1.3.11.tar.gz}")
	fltk_source=$(bash scripts/unpack-fltk.sh "$tarball" "build-$arch")
	options=(-DMERRIVANE_BUNDLED_FLTK=ON -DFETCHCONTENT_SOURCE_DIR_FLTK="$fltk_source")
else
	fltk=("libfltk1.3-dev:$arch")
fi
if [ "$tests" = ON ]; then
	bash scripts/setup.sh test "g++-$gnu" qemu-user-static "${fltk[@]}" \
		"libgtest-dev:$arch" "libx11-dev:$arch" "libmpfr-dev:$arch"
else
	bash scripts/setup.sh run dpkg-dev file "g++-$gnu" qemu-user-static "${fltk[@]}"
fi

DEB_HOST_MULTIARCH=$(dpkg-architecture -a "$arch" -q DEB_HOST_MULTIARCH 2>/dev/null)
export DEB_HOST_MULTIARCH
jobs=$(nproc)
cmake -S . -B "build-$arch" -DCMAKE_TOOLCHAIN_FILE=cmake/debian-cross.cmake -DMERRIVANE_DEB_ARCH="$arch" \
	-DMERRIVANE_TESTS="$tests" -DMERRIVANE_BENCH=OFF -DMERRIVANE_WERROR="${MERRIVANE_WERROR:-OFF}" \
	-DMERRIVANE_DIFF_OPS=1000000 "${options[@]}"
cmake --build "build-$arch" -j"$jobs"
[ "$tests" = OFF ] || ctest --test-dir "build-$arch" --output-on-failure --no-tests=error -j"$jobs"
if [ -n "$package" ]; then
	(cd "build-$arch" && cpack -G DEB)
	ls -l "build-$arch"/merrivane_*_"$arch".deb
fi
