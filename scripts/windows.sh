#!/bin/bash
# Cross-builds Merrivane for Windows x86-64 into build-windows/: FLTK 1.3.11
# from the vendored sources, then merrivane.exe (static, GUI), its tests run
# under Wine (GUI ones on a private Xvfb), an NSIS installer and a zip.
# Installs what is missing (MinGW-w64, Wine, NSIS), through sudo when not
# root. FLTK_TARBALL may name the FLTK 1.3.11 sources; by default they are
# taken from ../shared/vendor beside the project.
set -eu
cd "$(dirname "$0")/.."

bash scripts/setup.sh only cmake g++-mingw-w64-x86-64-posix wine64 nsis googletest \
	xvfb xdotool xauth xclip imagemagick unzip

tarball=${FLTK_TARBALL:-}
for t in ../shared/vendor/fltk-1.3.11.tar.gz /work/shared/vendor/fltk-1.3.11.tar.gz; do
	[ -n "$tarball" ] || [ ! -f "$t" ] || tarball=$t
done
sha256=4563a5b357317246364822bb768e43d5a01a3adf5d489c08114f1e66480fdbad
[ -f "$tarball" ] || { echo "FLTK 1.3.11 sources not found in ../shared/vendor (set FLTK_TARBALL)" >&2; exit 1; }
echo "$sha256  $tarball" | sha256sum -c --quiet || { echo "$tarball is not FLTK 1.3.11" >&2; exit 1; }
fltk=$PWD/build-windows/fltk-1.3.11
if [ ! -f "$fltk/CMakeLists.txt" ]; then
	mkdir -p build-windows
	tar -xzf "$tarball" -C build-windows
fi

# Wine in a prefix of the build's own, quiet, without Mono and Gecko
export WINEPREFIX=$PWD/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
/usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1

jobs=$(nproc)
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
	-DCMAKE_BUILD_TYPE=Release -DMERRIVANE_BENCH=OFF -DMERRIVANE_TESTS=ON -DMERRIVANE_WERROR="${MERRIVANE_WERROR:-OFF}" \
	-DFETCHCONTENT_SOURCE_DIR_FLTK="$fltk" -DFETCHCONTENT_SOURCE_DIR_GOOGLETEST=/usr/src/googletest
cmake --build build-windows -j"$jobs"
# one at a time: the Wine programs of one prefix share one desktop
ctest --test-dir build-windows --output-on-failure --no-tests=error
(cd build-windows && cpack)
ls -l build-windows/merrivane.exe build-windows/merrivane-*-win64.exe build-windows/merrivane-*-win64.zip
