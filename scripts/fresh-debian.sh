#!/bin/bash
# Tries the README's two commands as a new user would: bootstraps a minimal
# Debian root of the release named (default: this machine's) from this
# machine's own apt sources, clones the commit under test into it and,
# inside it, runs scripts/run.sh (the program must come up on a private Xvfb
# without a compiler warning, and close with status 0), then scripts/test.sh.
#   fresh-debian.sh [--dead-source] [CODENAME [PACKAGE...]]
# CODENAME: bookworm, trixie, forky...; PACKAGEs are installed first, as a
# user may have them (libfltk1.4-dev), and must still be installed after.
# --dead-source adds an apt source that has gone away, as many desktops
# have one: both commands must go on past it, and say so.
# MERRIVANE_WERROR and MERRIVANE_SAME_MODEL are passed on to test.sh; with
# MERRIVANE_RUN_DIR one bootstrap of a release serves each of its roots
# (scripts/debian-root.sh). Needs root. Everything it mounts
# or makes is undone on every exit.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "fresh-debian.sh needs root (mmdebstrap, chroot, mounts)" >&2; exit 1; }

bash "$repo/scripts/setup.sh" only mmdebstrap xvfb xdotool git

dead_source=
[ "${1:-}" != --dead-source ] || { dead_source=file:/srv/gone-repository; shift; }
suite=${1:-$(. /etc/os-release && echo "$VERSION_CODENAME")}
shift $(($# > 0))
users=("$@")

. "$repo/scripts/debian-root.sh"
xpid=
cleanup() {
	[ -n "$xpid" ] && kill "$xpid" 2>/dev/null
	root_cleanup
}
trap cleanup EXIT
trap 'exit 143' HUP INT TERM

step() { echo "=== fresh root: $* ($(date +%T))"; }
fail() { echo "fresh root: $*" >&2; exit 1; }

step "bootstrapping Debian $suite"
root_make "$suite" updates git

commit=$(git -C "$repo" rev-parse HEAD)
git clone --quiet --no-local "$repo" "$root/src"
git -C "$root/src" checkout --quiet --detach "$commit"

root_mount
# what the user installed before, as they would have
if [ ${#users[@]} -gt 0 ]; then
	step "installing ${users[*]}, as the user did"
	in_root "bash scripts/apt-update.sh && apt-get install -y --no-install-recommends ${users[*]}" \
		DEBIAN_FRONTEND=noninteractive >"$root/tmp/users.log" 2>&1 ||
		{ tail -n 40 "$root/tmp/users.log" >&2; fail "${users[*]} did not install"; }
fi
[ -z "$dead_source" ] || echo "deb [trusted=yes] $dead_source ./" >"$root/etc/apt/sources.list.d/gone.list"
mkdir -p /tmp/.X11-unix "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"

step "README run command"
fifo=$root/tmp/displayfd
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
xpid=$!
read -r -t 20 num <"$fifo" || fail "Xvfb did not start"
export DISPLAY=:$num
log=$root/tmp/run.log
in_root 'bash scripts/run.sh' DISPLAY="$DISPLAY" >"$log" 2>&1 &
run=$!
wid=
while kill -0 "$run" 2>/dev/null; do
	wid=$(xdotool search --onlyvisible --name '^Merrivane$' 2>/dev/null | head -n 1) && [ -n "$wid" ] && break
	sleep 1
done
if [ -z "$wid" ]; then
	tail -n 40 "$log" >&2
	fail "scripts/run.sh ended without showing the Merrivane window"
fi
xdotool mousemove --window "$wid" 100 270 key Escape
status=0
timeout 30 tail --pid="$run" -f /dev/null || fail "Merrivane did not close on Escape"
wait "$run" || status=$?
[ "$status" -eq 0 ] || { tail -n 40 "$log" >&2; fail "scripts/run.sh ended with status $status"; }
grep '^installing:' "$log" || true
if [ -n "$dead_source" ]; then
	grep -F "apt-update: going on with the package lists at hand; not updated: $dead_source" "$log" ||
		fail "scripts/run.sh did not say that it went on past $dead_source"
fi
# the compiler's and CMake's own, not what libraries print at run time
if grep -E '^[^ ]+:[0-9]+:([0-9]+:)? warning:|^CMake Warning' "$log" >&2; then
	fail "scripts/run.sh built with warnings"
fi
linked=$(in_root 'ldd build/merrivane' | grep -o 'libfltk[^ ]*' | sort -u | paste -sd ' ')
echo "Merrivane window $wid came up and closed with status 0; linked against $linked"
# the FLTK a user has is the one the program takes
for p in "${users[@]}"; do
	if [[ $p =~ ^libfltk([0-9.]+)-dev$ ]] && [ "$linked" != "libfltk.so.${BASH_REMATCH[1]}" ]; then
		fail "$p installed, but linked against $linked"
	fi
done
kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null || true
xpid=
# the tests' own X servers keep their sockets in the root, apart from this
# machine's
umount "$root/tmp/.X11-unix"

# Only the run packages are installed yet, as for a user or a packager who
# builds from a fresh clone.
step "README install block, from a fresh clone"
git clone --quiet --no-local "$repo" "$root/install"
git -C "$root/install" checkout --quiet --detach "$commit"
in_root 'cd /install && cmake -S . -B build -DCMAKE_INSTALL_PREFIX=/usr/local && cmake --build build -j &&
	cmake --install build && test -x /usr/local/bin/merrivane &&
	xargs -d "\n" rm -f < build/install_manifest.txt && test ! -e /usr/local/bin/merrivane' >"$log" 2>&1 ||
	{ tail -n 40 "$log" >&2; fail "the README install block failed"; }
echo "configured, built, installed and uninstalled with the run packages only"

step "README test command"
# in the background, so that a signal is acted on at once, not once the
# suite has ended
in_root 'bash scripts/test.sh' ${MERRIVANE_SAME_MODEL:+MERRIVANE_SAME_MODEL="$MERRIVANE_SAME_MODEL"} &
wait $! || fail "scripts/test.sh failed"
# asked for what conflicts with a user's package, the set-up stops and says so
if [[ " ${users[*]} " == *" libfltk1.4-dev "* ]]; then
	step "set-up asked for libfltk1.3-dev"
	! in_root 'bash scripts/setup.sh only libfltk1.3-dev' >"$log" 2>&1 || fail "setup.sh went ahead"
	grep -x 'setup: apt would remove libfltk1.4-dev, .*' "$log" || { cat "$log" >&2; fail "setup.sh did not say why"; }
fi
for p in "${users[@]}"; do
	in_root "dpkg-query -W -f='\${Status}' $p" | grep -q 'ok installed' || fail "$p was removed"
	echo "$p is still installed"
done
step "done"
