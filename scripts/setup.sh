#!/bin/bash
# Installs the Debian packages Merrivane needs, if missing.
#   setup.sh run [more...]    what building and running the program takes
#   setup.sh test [more...]   that, and the test toolchain
#   setup.sh cross more...    what cross-built tests take beside the
#                             compilers and libraries named
#   setup.sh only more...     just the packages named
# Packages named with an architecture (libx11-dev:arm64) bring it in.
# Uses sudo when not root. Never removes a package: where apt would have to,
# it stops before installing anything and says which and why.
set -eu

# A package named without an architecture is this machine's (or all's): a
# cross build's libmpfr-dev:s390x is not the native libmpfr-dev.
installed() {
	local arch='[^ ]+'
	[[ $1 == *:* ]] || arch="($(dpkg --print-architecture)|all)"
	dpkg-query -W -f='${Status} ${Architecture}\n' "$1" 2>/dev/null | grep -Eq "ok installed $arch\$"
}

# FLTK: the development package already installed, 1.3 or 1.4 (they
# conflict); 1.3 where there is neither. FLTK's CMake files import fluid,
# which its package only recommends. FLTK 1.4 runs natively on Wayland: its
# tests need a headless compositor, Wayland input and screenshots, and
# xrdb for the screen scale.
if installed "libfltk1.4-dev:$(dpkg --print-architecture)"; then
	fltk=libfltk1.4-dev
	fltk_tests=(cage wtype grim x11-xserver-utils)
else
	fltk=libfltk1.3-dev
	fltk_tests=()
fi
# ATK and its AT-SPI bridge: what screen readers read the windows through
run_packages=(build-essential cmake "$fltk" fluid libatk-bridge2.0-dev)
# what the test scripts run, whatever the architecture tested
check_packages=(
	xvfb xdotool xauth x11-utils xclip imagemagick locales
	desktop-file-utils appstream lintian man-db groff-base dpkg-dev file
)
test_packages=(
	"${run_packages[@]}" "${fltk_tests[@]}" "${check_packages[@]}"
	googletest libgtest-dev libbenchmark-dev libmpfr-dev
	clang libclang-rt-dev valgrind cppcheck clang-tidy
	dbus at-spi2-core libglib2.0-bin python3-pyatspi orca speech-dispatcher
)

args=("$@")
case "${1:-}" in
run) packages=("${run_packages[@]}") ;;
test) packages=("${test_packages[@]}") ;;
cross) packages=(cmake make fluid "${check_packages[@]}") ;;
only) packages=() ;;
*) echo "usage: $0 run|test|cross|only [package...]" >&2; exit 2 ;;
esac
shift
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
	installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
# One set-up at a time on this machine, as apt takes one: a second waits
# here, then finds what is still missing. The lock is flock's own (-o), so
# no daemon an install starts goes on holding it.
[ -n "${MERRIVANE_SETUP_LOCKED:-}" ] || MERRIVANE_SETUP_LOCKED=1 exec flock -o /var/lib/dpkg bash "$0" "${args[@]}"

sudo=
if [ "$(id -u)" -ne 0 ]; then
	command -v sudo >/dev/null || { echo "need root or sudo to install: ${missing[*]}" >&2; exit 1; }
	sudo=sudo
fi
apt() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }
echo "installing: ${missing[*]}"
# architectures brought in here leave again if nothing of theirs installs
added=()
trap 'for a in "${added[@]}"; do $sudo dpkg --remove-architecture "$a" 2>/dev/null || true; done' EXIT
for arch in $(printf '%s\n' "${missing[@]}" | sed -n 's/.*:\(.*\)/\1/p' | sort -u); do
	dpkg --print-foreign-architectures | grep -qx "$arch" || { $sudo dpkg --add-architecture "$arch"; added+=("$arch"); }
done
bash "$(dirname "$0")/apt-update.sh"

# Whether package $1 conflicts with or breaks $2, or what $2 provides.
clashes() {
	apt-cache depends "$1" 2>/dev/null | awk -v b="$2" '
		/^  [A-Za-z]+:/ { on = $1 == "Conflicts:" || $1 == "Breaks:"; name = $2 }
		/^    / { name = $1 }
		on { gsub("[<>]", "", name); if (name == b) found = 1 }
		END { exit !found }'
}

# What apt would remove, and why, said before anything is installed.
plan=$(apt install -s --no-install-recommends "${missing[@]}" 2>&1) || { echo "$plan" >&2; exit 1; }
removed=$(sed -n 's/^Remv \([^ ]*\).*/\1/p' <<<"$plan")
if [ -n "$removed" ]; then
	incoming=$(sed -n 's/^Inst \([^ ]*\).*/\1/p' <<<"$plan")
	for r in $removed; do
		why=
		for i in $incoming; do
			if clashes "$i" "$r" || clashes "$r" "$i"; then why+=" $i"; fi
		done
		echo "setup: apt would remove $r, which is installed, to install${why:- what it needs}: they conflict" >&2
	done
	echo "setup: nothing installed or removed; remove $(echo $removed) yourself if you mean to" >&2
	exit 1
fi
apt install -y --no-remove --no-install-recommends "${missing[@]}"
added=()
