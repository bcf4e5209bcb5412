#!/bin/bash
# Shows that the release packages come out the same whoever builds them:
# the Debian packages (amd64, arm64, armhf), merrivane.exe, the Windows
# installer and zip. The first of each is this tree's own, as its stages
# left it (CI: the test builds of scripts/cross.sh and scripts/windows.sh);
# what is missing is built here first, as a packager would. The second
# comes from a clone of the current commit that builds everything as a
# packager does (--package-only), FLTK for Windows included, in a folder of
# another name and depth, in another time zone and under another umask.
# Byte for byte the same, or diffoscope shows where not and it fails.
# Nothing needs to be set: the packages' one time is the last commit's.
# FLTK_TARBALL as for windows.sh.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
tarball=$(realpath "${FLTK_TARBALL:-$repo/../shared/vendor/fltk-1.4.5.tar.gz}")
commit=$(git -C "$repo" rev-parse HEAD)
work=$(mktemp -d /var/tmp/merrivane-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

artifacts=(build-release/merrivane_1.0.0_amd64.deb build-arm64/merrivane_1.0.0_arm64.deb
	build-armhf/merrivane_1.0.0_armhf.deb build-windows/merrivane.exe
	build-windows/merrivane-1.0.0-win64.exe build-windows/merrivane-1.0.0-win64.zip)

# Those of the tree in $1 that it lacks.
build() { # folder
	cd "$1"
	umask 0022 # CPack gives the packages' members the modes it makes them with
	if [ ! -f "${artifacts[0]}" ]; then
		bash scripts/setup.sh run dpkg-dev file
		cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DMERRIVANE_TESTS=OFF -DMERRIVANE_BENCH=OFF
		cmake --build build-release -j"$(nproc)"
		(cd build-release && cpack -G DEB)
	fi
	[ -f "${artifacts[1]}" ] || bash scripts/cross.sh arm64 --package-only
	[ -f "${artifacts[2]}" ] || bash scripts/cross.sh armhf --package-only
	if [ ! -f "${artifacts[3]}" ] || [ ! -f "${artifacts[4]}" ] || [ ! -f "${artifacts[5]}" ]; then
		FLTK_TARBALL=$tarball bash scripts/windows.sh --package-only
	fi
}

echo "=== what this tree lacks, built in it ($(date +%T))"
(build "$repo") >"$work/a.log" 2>&1 || { tail -n 40 "$work/a.log" >&2; exit 1; }
# checked out with no access for others: the packages' modes are CPack's
b=$work/second/build/of/merrivane-$commit
echo "=== $commit cloned into $b and built there ($(date +%T))"
(umask 0077 && git clone --quiet --no-local "$repo" "$b" && git -C "$b" checkout --quiet --detach "$commit") ||
	exit 1
# a time zone in POSIX form, which needs no time zone database in a root
(unset MERRIVANE_WINDOWS_FLTK && TZ=KIT-14 build "$b") >"$work/b.log" 2>&1 ||
	{ tail -n 40 "$work/b.log" >&2; exit 1; }

differ=0
for f in "${artifacts[@]}"; do
	if cmp -s "$repo/$f" "$b/$f"; then
		echo "same: $f $(sha256sum <"$repo/$f" | cut -c1-16)"
	else
		echo "DIFFERENT: $f" >&2
		differ=1
	fi
done
[ "$differ" = 0 ] && exit 0
bash "$repo/scripts/setup.sh" only diffoscope-minimal >&2
for f in "${artifacts[@]}"; do
	cmp -s "$repo/$f" "$b/$f" || diffoscope --text - "$repo/$f" "$b/$f" | head -n 200 >&2 || true
done
exit 1
