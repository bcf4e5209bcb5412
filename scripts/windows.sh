#!/bin/bash
# Cross-builds Merrivane for Windows x86-64 into build-windows/: FLTK 1.4.5
# from the vendored sources, then merrivane.exe (static, GUI), its tests run
# under Wine (GUI ones on a private Xvfb), an NSIS installer and a zip.
#   windows.sh                 all of that
#   windows.sh --package-only  the program and its packages, no tests
# Installs what is missing (MinGW-w64, Wine, NSIS), through sudo when not
# root. FLTK_TARBALL may name the FLTK 1.4.5 sources; by default they are
# taken from ../shared/vendor beside the project. FLTK is built once, on its
# own, and installed in MERRIVANE_WINDOWS_FLTK (build-windows/fltk by
# default); a later run, or another clone's, takes it from there.
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

jobs=$(nproc)
toolchain=$PWD/cmake/mingw-w64-x86_64.cmake
fltk=$(realpath -m "${MERRIVANE_WINDOWS_FLTK:-build-windows/fltk}")
if [ ! -f "$fltk/.complete" ]; then
	tarball=$(realpath -m "${FLTK_TARBALL:-../shared/vendor/fltk-1.4.5.tar.gz}")
	version=$(basename "$tarball" .tar.gz)
	source=$(bash scripts/unpack-fltk.sh "$tarball" "$fltk.build")
	echo "=== FLTK ${version#fltk-} for Windows into $fltk ($(date +%T))"
	rm -rf "$fltk" "$fltk.build/build"
	# no path of the folders built in kept in the library
	maps="-ffile-prefix-map=$source=fltk -ffile-prefix-map=$fltk.build/build=fltk-build"
	cmake -S "$source" -B "$fltk.build/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
		-DMERRIVANE_BUNDLED_FLTK_VERSION="${version#fltk-}" -C cmake/FLTKOptions.cmake \
		-DCMAKE_C_FLAGS="$maps" -DCMAKE_CXX_FLAGS="$maps" -DCMAKE_INSTALL_PREFIX="$fltk" >"$fltk.build/log" ||
		{ cat "$fltk.build/log" >&2; exit 1; }
	cmake --build "$fltk.build/build" -j"$jobs" >>"$fltk.build/log" || { tail -n 40 "$fltk.build/log" >&2; exit 1; }
	cmake --install "$fltk.build/build" >>"$fltk.build/log"
	touch "$fltk/.complete"
fi

if [ "$tests" = ON ]; then
	# Wine in a prefix of the build's own, quiet, without Mono and Gecko,
	# set before the build: discovering the tests runs them under Wine
	export WINEPREFIX=$PWD/build-windows/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
	# Wine names files in the locale's character set: in a plain C locale
	# the tests' paths beyond ASCII cannot be made
	export LC_ALL=C.UTF-8
	mkdir -p "$WINEPREFIX"
	# Through the build and the tests that need no X server of their own,
	# one Wine server kept running, with a program waiting on its input
	# (until closed) so that the desktop never closes: a program started
	# while the desktop closes waits 10 to 20 s, and without a kept server
	# each program waits for the one before to wind down. Its desktop is on
	# an X server of this stage's own.
	wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
	wine_dir=$(mktemp -d)
	mkfifo "$wine_dir/display" "$wine_dir/keep"
	Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$wine_dir/display" 2>/dev/null &
	desktop=$!
	# (by then the kept server may be gone, and the tests' own too)
	trap '"$wineserver" -k 2>/dev/null || true; kill "$desktop" 2>/dev/null || true; rm -rf "$wine_dir"' EXIT
	read -r -t 20 num <"$wine_dir/display" || { echo "windows.sh: Xvfb did not start" >&2; exit 1; }
	export DISPLAY=:$num MERRIVANE_WINESERVER_KEPT=1
	"$wineserver" -p
	cmake/wine-run.sh wineboot --init >/dev/null 2>&1
	cmake/wine-run.sh cmd /c "set /p x=" <"$wine_dir/keep" >/dev/null 2>&1 &
	exec 5>"$wine_dir/keep"
fi
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
	-DCMAKE_BUILD_TYPE=Release -DMERRIVANE_BENCH=OFF -DMERRIVANE_TESTS="$tests" \
	-DMERRIVANE_WERROR="${MERRIVANE_WERROR:-OFF}" \
	-DMERRIVANE_BUNDLED_FLTK=OFF -DCMAKE_FIND_ROOT_PATH="$fltk" -DFETCHCONTENT_SOURCE_DIR_GOOGLETEST=/usr/src/googletest
cmake --build build-windows -j"$jobs"
if [ "$tests" = ON ]; then
	# one at a time: the Wine programs of one prefix share one desktop. A
	# program Wine fails to start (seen under load: no output, at once) is
	# started once more, and said to be; a test that fails twice fails.
	run_tests() { # ctest's selection
		if ! ctest --test-dir build-windows --output-on-failure --no-tests=error "$@"; then
			failed=$(cut -d: -f2 build-windows/Testing/Temporary/LastTestsFailed.log | tr '\n' ' ')
			echo "=== windows: once more: $failed"
			ctest --test-dir build-windows --output-on-failure --no-tests=error --rerun-failed
			echo "=== windows: passed only when run once more: $failed"
		fi
		cmake -DDIR=build-windows -P cmake/SlowestTests.cmake
	}
	run_tests -LE 'gui|release'
	# Wine keeps the clipboard in the desktop's program, on the X server
	# that started it: each test on an X server of its own gets a server
	# and a desktop of its own, as every program did before.
	exec 5>&-
	"$wineserver" -k
	unset DISPLAY MERRIVANE_WINESERVER_KEPT
	run_tests -L 'gui|release'
fi
(cd build-windows && cpack)
ls -l build-windows/merrivane.exe build-windows/merrivane-*-win64.exe build-windows/merrivane-*-win64.zip
