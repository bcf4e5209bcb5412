#!/bin/bash
# Cross-builds Merrivane for Windows x86-64 into build-windows/: FLTK 1.3.11
# from the vendored sources, then merrivane.exe (static, GUI), its tests run
# under Wine (GUI ones on a private Xvfb), an NSIS installer and a zip.
#   windows.sh                 all of that
#   windows.sh --package-only  the program and its packages, no tests
# Installs what is missing (MinGW-w64, Wine, NSIS), through sudo when not
# root. FLTK_TARBALL may name the FLTK 1.3.11 sources; by default they are
# taken from ../shared/vendor beside the project.
set -eu
cd "$(dirname "$0")/.."
umask 0022 # the packages' file modes follow it
tests=ON
[ "${1:-}" = --package-only ] && tests=OFF

if [ "$tests" = ON ]; then
	bash scripts/setup.sh only cmake g++-mingw-w64-x86-64-posix wine64 nsis googletest \
		xvfb xdotool xauth xclip imagemagick unzip
else
	bash scripts/setup.sh only cmake g++-mingw-w64-x86-64-posix nsis
fi

tarball=$(realpath -m "${FLTK_TARBALL:-../shared/vendor/fltk-1.3.11.tar.gz}")
fltk=$(bash scripts/unpack-fltk.sh "$tarball" build-windows)

jobs=$(nproc)
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	-DCMAKE_BUILD_TYPE=Release -DMERRIVANE_BENCH=OFF -DMERRIVANE_TESTS="$tests" \
	-DMERRIVANE_WERROR="${MERRIVANE_WERROR:-OFF}" \
	-DFETCHCONTENT_SOURCE_DIR_FLTK="$fltk" -DFETCHCONTENT_SOURCE_DIR_GOOGLETEST=/usr/src/googletest
cmake --build build-windows -j"$jobs"
if [ "$tests" = ON ]; then
	# Wine in a prefix of the build's own, quiet, without Mono and Gecko
	export WINEPREFIX=$PWD/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
	# Wine names files in the locale's character set: in a plain C locale
	# the tests' paths beyond ASCII cannot be made
	export LC_ALL=C.UTF-8
	cmake/wine-run.sh wineboot --init >/dev/null 2>&1
	# one at a time: the Wine programs of one prefix share one desktop. A
	# program Wine fails to start (seen under load: no output, at once) is
	# started once more; a test that fails twice fails.
	ctest --test-dir build-windows --output-on-failure --no-tests=error --repeat until-pass:2
fi
(cd build-windows && cpack)
ls -l build-windows/merrivane.exe build-windows/merrivane-*-win64.exe build-windows/merrivane-*-win64.zip
