#!/bin/bash
# Runs a command as the one client session of a private headless Wayland
# compositor (cage, on wlroots' headless backend, drawn in software), with
# no X server: FLTK 1.4 talks Wayland natively there. The command's status
# is this script's.
set -eu
unset DISPLAY FLTK_SCALING_FACTOR
export FLTK_BACKEND=wayland WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
trap 'exit 143' HUP INT TERM
export XDG_RUNTIME_DIR=$dir

# cage ends with the command; its own status says nothing of the command's.
# The command writes where this script does, cage to its log.
exec 3>&1 4>&2
cage -- bash -c '"$@" >&3 2>&4; echo $? >"$XDG_RUNTIME_DIR/status"' bash "$@" 2>"$dir/cage.log" || true
if [ ! -s "$dir/status" ]; then
	echo "cage did not run the command:" >&2
	cat "$dir/cage.log" >&2
	exit 1
fi
exit "$(cat "$dir/status")"
