#!/bin/bash
# Updates apt's package lists, going on past sources that cannot be fetched
# (a mirror in mid-sync, a third-party source gone or with an expired key):
# such an update is tried twice more, a little apart, then the lists at
# hand serve and one line names the sources that failed. The install that
# follows says what, if anything, cannot be had. Any other failure (a
# malformed source, the lists locked) stops here with apt's own message.
# Uses sudo when not root; follows APT_CONFIG.
#   apt-update.sh
set -eu

# The sources an update's output (on stdin) names as not fetched, one a line;
# status 1 where it also says something else went wrong.
failed_sources() {
	awk '
		function add(s) { if (!(s in seen)) { seen[s] = 1; print s } }
		/^Err:[0-9]+ / { sub(/^Err:[0-9]+ /, ""); add($0); next }
		/^E: The repository '\''/ { split($0, q, "'\''"); add(q[2]); next }
		/^E: Release file for [^ ]+ is expired/ { add($5); next }
		/^E: (Failed to fetch|Some index files failed to download)/ { next }
		/^E: / { other = 1 }
		END { exit other }'
}

main() {
	local sudo= try sources
	[ "$(id -u)" -eq 0 ] || sudo=sudo
	out=$(mktemp)
	trap 'rm -f "$out"' EXIT # out: global, still set when the trap runs
	for try in 1 2 3; do
		$sudo env DEBIAN_FRONTEND=noninteractive ${APT_CONFIG:+APT_CONFIG="$APT_CONFIG"} \
			apt-get update >"$out" 2>&1 && return 0
		if ! sources=$(failed_sources <"$out") || [ -z "$sources" ]; then
			cat "$out" >&2
			echo "apt-update: apt-get update failed" >&2
			return 1
		fi
		[ "$try" -eq 3 ] || sleep $((try * 5))
	done
	echo "apt-update: going on with the package lists at hand; not updated: $(paste -sd ';' <<<"$sources" | sed 's/;/; /g')" >&2
}

[ "${BASH_SOURCE[0]}" != "$0" ] || main
