#!/bin/bash
# Builds the release packages twice from two clones of the current commit,
# in folders of different names and depths, one after the other, in
# another time zone the second time, and compares them byte for byte: the
# Debian packages (amd64, arm64, armhf), merrivane.exe, the Windows installer and
# zip. On a difference it shows what diffoscope finds and
# fails. Nothing needs to be set: the packages' one time is the last
# commit's. FLTK_TARBALL as for windows.sh; both clones take the FLTK for
# Windows that windows.sh built here (MERRIVANE_WINDOWS_FLTK), or that the
# first builds there.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
tarball=$(realpath "${FLTK_TARBALL:-$repo/../shared/vendor/fltk-1.4.5.tar.gz}")
export MERRIVANE_WINDOWS_FLTK=${MERRIVANE_WINDOWS_FLTK:-$repo/build-windows/fltk}
commit=$(git -C "$repo" rev-parse HEAD)
work=$(mktemp -d /var/tmp/merrivane-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT

artifacts=(build/merrivane_1.0.0_amd64.deb build-arm64/merrivane_1.0.0_arm64.deb build-armhf/merrivane_1.0.0_armhf.deb
	build-windows/merrivane.exe build-windows/merrivane-1.0.0-win64.exe build-windows/merrivane-1.0.0-win64.zip)

build() { # folder
	umask 0022 # CPack gives the packages' members the modes it makes them with
	echo "=== building $commit in $1 ($(date +%T))"
	git clone --quiet --no-local "$repo" "$1"
	git -C "$1" checkout --quiet --detach "$commit"
	cd "$1"
	bash scripts/setup.sh run dpkg-dev file
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DMERRIVANE_TESTS=OFF -DMERRIVANE_BENCH=OFF
	cmake --build build -j"$(nproc)"
	(cd build && cpack -G DEB)
	bash scripts/cross.sh arm64 --package-only
	bash scripts/cross.sh armhf --package-only
	FLTK_TARBALL=$tarball bash scripts/windows.sh --package-only
}

a=$work/a/merrivane
b=$work/second/build/of/merrivane-$commit
(build "$a") >"$work/a.log" 2>&1 || { tail -n 40 "$work/a.log" >&2; exit 1; }
(TZ=Pacific/Kiritimati build "$b") >"$work/b.log" 2>&1 || { tail -n 40 "$work/b.log" >&2; exit 1; }

differ=0
for f in "${artifacts[@]}"; do
	if cmp -s "$a/$f" "$b/$f"; then
		echo "same: $f $(sha256sum <"$a/$f" | cut -c1-16)"
	else
		echo "DIFFERENT: $f" >&2
		differ=1
	fi
done
[ "$differ" = 0 ] && exit 0
bash "$repo/scripts/setup.sh" only diffoscope-minimal >&2
for f in "${artifacts[@]}"; do
	cmp -s "$a/$f" "$b/$f" || diffoscope --text - "$a/$f" "$b/$f" | head -n 200 >&2 || true
done
exit 1
