#!/bin/bash
# Which sources an apt-get update's output names as not fetched, and which
# failures are no source's: those stop the set-up.
set -eu -o pipefail
. "$1/scripts/apt-update.sh"
status=0
check() { # name, want status, want sources (joined by |), output
	local got want_status=$2 got_status=0
	got=$(printf '%b' "$4" | failed_sources | paste -sd '|') || got_status=$?
	if [ "$got" != "$3" ] || [ "$got_status" != "$want_status" ]; then
		echo "$1: got '$got' (status $got_status), want '$3' (status $want_status)" >&2
		status=1
	fi
}
sec='http://d/debian-security bookworm-security/main'
check mid-sync 0 "$sec i386 Packages|$sec armhf Packages" "Hit:1 http://d/debian bookworm InRelease\nErr:13 $sec i386 Packages\n  File has unexpected size (374820 != 376004). Mirror sync in progress?\nErr:14 $sec armhf Packages\n  \nE: Failed to fetch http://d/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz  File has unexpected size\nE: Some index files failed to download. They have been ignored, or old ones used instead.\n"
check gone-once-an-arch 0 'file:/srv/gone ./ Packages' "Ign:1 file:/srv/gone ./ InRelease\nErr:3 file:/srv/gone ./ Packages\nErr:3 file:/srv/gone ./ Packages\nE: Failed to fetch file:/srv/gone/./Packages  File not found\n"
check expired-key 0 'http://x/apt stable InRelease' "W: GPG error: http://x/apt stable InRelease: The following signatures were invalid: EXPKEYSIG 1234\nE: The repository 'http://x/apt stable InRelease' is not signed.\n"
check expired-release 0 'http://x/debian/dists/forky/InRelease' "E: Release file for http://x/debian/dists/forky/InRelease is expired (invalid since 30d). Updates for this repository will not be applied.\n"
check malformed 1 '' "E: Malformed entry 1 in list file /etc/apt/sources.list.d/x.list (Component)\nE: The list of sources could not be read.\n"
check locked-beside-a-gone-source 1 'file:/srv/gone ./ Packages' "Err:3 file:/srv/gone ./ Packages\nE: Could not get lock /var/lib/apt/lists/lock. It is held by process 7 (apt-get)\n"
exit "$status"
