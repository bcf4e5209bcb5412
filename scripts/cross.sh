#!/bin/bash
# Cross-builds Merrivane for other Debian architectures into build-ARCH/,
# runs its tests under qemu-user-static (GUI tests on a private Xvfb; the
# differential tests with a million operations of each kind) and makes the
# Debian package there, but for i386, ppc64el and s390x. Installs what is
# missing (the architecture's multiarch packages included), through sudo
# when not root.
#   cross.sh ARCH...                all of that, for each ARCH in turn
#   cross.sh ARCH... --package-only the program and its package, no tests
# ARCH: arm64 armhf i386 ppc64el s390x on this machine; armel mips64el
# mipsel (Debian 12) and riscv64 (Debian 13) in a fresh root of that
# release (root needed), one root for those of one release, the package and
# the test log (LastTest.log) copied back. One whose libraries do not
# install on this machine is built in a root of this machine's release.
# s390x: Debian's FLTK for it does not install (nor does its zlib1g), so
# FLTK 1.3.11 is built from the vendored sources (FLTK_TARBALL as for
# windows.sh), without Xft; it gets the whole suite but no package.
# A root builds in a folder of the same name as this one, in this TZ. With
# MERRIVANE_RUN_DIR (CI) one root of each release serves the whole run, and
# an architecture whose libraries did not install goes straight to it.
set -eu
cd "$(dirname "$0")/.."
umask 0022 # the packages' file modes follow it

usage() { echo "usage: $0 ARCH... [--package-only]; ARCH: arm64 armhf armel i386 mips64el mipsel ppc64el riscv64 s390x" >&2; exit 2; }

# The GNU triplet of the architecture's compilers (qemu-user-static has
# every emulator; cmake/debian-cross.cmake picks it).
triplet() {
	case $1 in
	arm64) echo aarch64-linux-gnu ;;
	armel) echo arm-linux-gnueabi ;;
	armhf) echo arm-linux-gnueabihf ;;
	i386) echo i686-linux-gnu ;;
	mips64el) echo mips64el-linux-gnuabi64 ;;
	mipsel) echo mipsel-linux-gnu ;;
	ppc64el) echo powerpc64le-linux-gnu ;;
	riscv64) echo riscv64-linux-gnu ;;
	s390x) echo s390x-linux-gnu ;;
	*) return 1 ;;
	esac
}

# The Debian release whose fresh root an architecture is built in, or
# nothing for this machine. Debian 12's security archive serves fewer
# architectures than the release, so beside a machine's updates their
# libraries do not install; from one release's main suite alone they do.
# riscv64 is new in Debian 13; mips64el and mipsel are gone from it; armel
# is in both, but this archive's Debian 13 lists armel packages of its
# point releases that its pool does not hold.
release_of() {
	case $1 in
	riscv64) echo trixie ;;
	armel | mips64el | mipsel) echo bookworm ;;
	esac
}

archs=()
tests=ON
for a; do
	case $a in
	--package-only) tests=OFF ;;
	*) triplet "$a" >/dev/null || usage; archs+=("$a") ;;
	esac
done
[ ${#archs[@]} -gt 0 ] || usage
options=()
[ "$tests" = ON ] || options=(--package-only)

# The bundled FLTK's sources, for s390x.
fltk_tarball() { realpath -m "${FLTK_TARBALL:-../shared/vendor/fltk-1.3.11.tar.gz}"; }

# What building for $1 takes of this machine's own packages: its compilers
# and the tools the tests run.
install_tools() { # arch
	local gnu fonts=()
	gnu=$(triplet "$1")
	# without Xft FLTK draws in the X server's own fonts, helvetica in the
	# sizes the layout uses
	[ "$1" != s390x ] || fonts=(xfonts-base xfonts-75dpi xfonts-100dpi)
	if [ "$tests" = ON ]; then
		bash scripts/setup.sh cross "g++-$gnu" qemu-user-static "${fonts[@]}"
	else
		bash scripts/setup.sh only cmake make fluid dpkg-dev file "g++-$gnu" qemu-user-static "${fonts[@]}"
	fi
}

# The architecture's own libraries: fails where they do not install beside
# this machine's packages.
install_libraries() { # arch
	local libs=("libfltk1.3-dev:$1")
	[ "$1" != s390x ] || libs=(libx11-dev:s390x libxext-dev:s390x)
	[ "$tests" = OFF ] || libs+=("libgtest-dev:$1" "libx11-dev:$1" "libmpfr-dev:$1")
	bash scripts/setup.sh only "${libs[@]}"
}

build() { # arch
	local arch=$1 gnu package= cmake_options=()
	gnu=$(triplet "$arch")
	case $arch in i386 | ppc64el | s390x) ;; *) package=1 ;; esac
	[ "$tests" = ON ] || [ -n "$package" ] || { echo "$arch gets no package" >&2; exit 2; }
	echo "=== cross: $arch ($(date +%T))"
	if [ "$arch" = s390x ]; then
		local fltk_source
		fltk_source=$(bash scripts/unpack-fltk.sh "$(fltk_tarball)" "build-$arch")
		cmake_options=(-DMERRIVANE_BUNDLED_FLTK=ON -DFETCHCONTENT_SOURCE_DIR_FLTK="$fltk_source")
	fi

	DEB_HOST_MULTIARCH=$(dpkg-architecture -a "$arch" -q DEB_HOST_MULTIARCH 2>/dev/null)
	export DEB_HOST_MULTIARCH
	local jobs
	jobs=$(nproc)
	cmake -S . -B "build-$arch" -DCMAKE_TOOLCHAIN_FILE=cmake/debian-cross.cmake -DMERRIVANE_DEB_ARCH="$arch" \
		-DMERRIVANE_TESTS="$tests" -DMERRIVANE_BENCH=OFF -DMERRIVANE_WERROR="${MERRIVANE_WERROR:-OFF}" \
		-DMERRIVANE_DIFF_OPS=1000000 "${cmake_options[@]}"
	cmake --build "build-$arch" -j"$jobs"
	if [ "$tests" = ON ]; then
		ctest --test-dir "build-$arch" --output-on-failure --no-tests=error -j"$jobs"
		cmake -DDIR="build-$arch" -P cmake/SlowestTests.cmake
	fi
	if [ -n "$package" ]; then
		(cd "build-$arch" && cpack -G DEB)
		ls -l "build-$arch"/merrivane_*_"$arch".deb
	fi
}

# The tree as it is, uncommitted changes included, built in a fresh root of
# the release; its packages and test logs copied back.
in_fresh_root() ( # release, archs
	release=$1
	shift
	[ "$(id -u)" -eq 0 ] || { echo "cross.sh: $* build in a fresh Debian $release root, which needs root (mmdebstrap, chroot, mounts)" >&2; exit 1; }
	bash scripts/setup.sh only mmdebstrap
	. scripts/debian-root.sh
	trap root_cleanup EXIT
	trap 'exit 143' HUP INT TERM
	echo "=== cross: a fresh Debian $release root for $* ($(date +%T))"
	root_make "$release" main
	# built in a folder of the same name as here
	root_src=$PWD
	mkdir -p "$root$root_src"
	if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
		git ls-files -z --cached --others --exclude-standard | tar --null --ignore-failed-read -T - -c
	else
		tar --exclude='./build*' -c .
	fi | tar -x -C "$root$root_src"
	# the bundled FLTK's sources, for s390x
	tarball=$(fltk_tarball)
	[ ! -f "$tarball" ] || install -D -m 0644 "$tarball" "$root/vendor/${tarball##*/}"
	root_mount
	epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}
	status=0
	in_root "bash scripts/cross.sh $* ${options[*]}" MERRIVANE_CROSS_ROOT="$release" FLTK_TARBALL="/vendor/${tarball##*/}" \
		${epoch:+SOURCE_DATE_EPOCH=$epoch} || status=$?
	for a; do
		mkdir -p "build-$a"
		rm -f "build-$a"/merrivane_*_"$a".deb "build-$a/LastTest.log"
		cp "$root$root_src/build-$a"/merrivane_*_"$a".deb "build-$a/" 2>/dev/null || true
		cp "$root$root_src/build-$a/Testing/Temporary/LastTest.log" "build-$a/" 2>/dev/null || true
	done
	exit "$status"
)

# Those of this machine in turn, then those of each release in its root.
# One whose libraries do not install here (say, beside updates that its
# architecture's lists lack) goes to a root of this release's main suite.
host_release=$(. /etc/os-release && echo "$VERSION_CODENAME")
declare -A rooted=()
for a in "${archs[@]}"; do
	release=$(release_of "$a")
	if [ -n "$release" ] && [ "${MERRIVANE_CROSS_ROOT:-}" != "$release" ]; then
		rooted[$release]+=" $a"
		continue
	fi
	# the libraries first: no compiler is installed for an architecture
	# that builds in a root, and one that failed is not tried again in
	# this run
	failed=${MERRIVANE_RUN_DIR:+$MERRIVANE_RUN_DIR/no-libraries-$a}
	if { [ -z "$failed" ] || [ ! -e "$failed" ]; } && install_libraries "$a"; then
		install_tools "$a"
		(build "$a")
	elif [ -z "${MERRIVANE_CROSS_ROOT:-}" ]; then
		[ -z "$failed" ] || touch "$failed"
		echo "cross: $a's libraries do not install beside this machine's packages; building $a in a fresh root of Debian $host_release's main suite"
		rooted[$host_release]+=" $a"
	else
		exit 1
	fi
done
for release in $(printf '%s\n' "${!rooted[@]}" | sort); do
	# shellcheck disable=SC2086 # one word an architecture
	in_fresh_root "$release" ${rooted[$release]}
done
