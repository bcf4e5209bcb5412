#!/bin/bash
# Tries the README's two commands as a new user would: bootstraps a minimal
# Debian root from this machine's own apt sources, clones the commit under
# test into it and, inside it, runs scripts/run.sh (the program must come up
# on a private Xvfb and close with status 0), then scripts/test.sh.
# Needs root. Everything it mounts or makes is undone on every exit.
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "fresh-debian.sh needs root (mmdebstrap, chroot, mounts)" >&2; exit 1; }

bash "$repo/scripts/setup.sh" only mmdebstrap xvfb xdotool git

sources=/etc/apt/sources.list.d/debian.sources
[ -f "$sources" ] || sources=/etc/apt/sources.list
suite=$(. /etc/os-release && echo "$VERSION_CODENAME")

root=$(mktemp -d /var/tmp/merrivane-root.XXXXXX)
xpid=
cleanup() {
	[ -n "$xpid" ] && kill "$xpid" 2>/dev/null
	# processes left in the root hold its mounts
	for p in /proc/[0-9]*; do
		[ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && kill -9 "${p#/proc/}" 2>/dev/null
	done
	for m in tmp/.X11-unix sys dev proc; do
		mountpoint -q "$root/$m" 2>/dev/null && { umount -R "$root/$m" 2>/dev/null || umount -lR "$root/$m"; }
	done
	rm -rf --one-file-system "$root"
}
trap cleanup EXIT
trap 'exit 143' HUP INT TERM

step() { echo "=== fresh root: $* ($(date +%T))"; }
fail() { echo "fresh root: $*" >&2; exit 1; }

step "bootstrapping Debian $suite from $sources"
mmdebstrap --variant=apt --include=git --quiet "$suite" "$root" "$sources"

commit=$(git -C "$repo" rev-parse HEAD)
git clone --quiet --no-local "$repo" "$root/src"
git -C "$root/src" checkout --quiet --detach "$commit"

mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev"
mount -t sysfs sysfs "$root/sys"
mkdir -p /tmp/.X11-unix "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"

in_root() { # DISPLAY, command line
	chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
		PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
		${1:+DISPLAY=$1} bash -c "cd /src && $2"
}

step "README run command"
fifo=$root/tmp/displayfd
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" 2>/dev/null &
xpid=$!
read -r -t 20 num <"$fifo" || fail "Xvfb did not start"
export DISPLAY=:$num
log=$root/tmp/run.log
in_root "$DISPLAY" 'bash scripts/run.sh' >"$log" 2>&1 &
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
echo "Merrivane window $wid came up and closed with status 0"
kill "$xpid" 2>/dev/null; wait "$xpid" 2>/dev/null || true
xpid=

step "README test command"
in_root "" 'bash scripts/test.sh' || fail "scripts/test.sh failed"
step "done"
