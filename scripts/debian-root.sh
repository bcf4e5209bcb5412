# Sourced by fresh-debian.sh and cross.sh: a minimal Debian root of another
# release, bootstrapped from this machine's own mirrors, and undone on exit.
#   root_make SUITE updates|main [PACKAGE...]
#     updates: the release with its updates and security suites, as a user's
#     machine has them; main: the release's main suite alone, in which every
#     architecture's packages have the same versions. Sets root.
#   root_mount               /proc, /dev and /sys in the root
#   in_root COMMAND [VAR=VALUE...]   runs COMMAND in root_src (/src) of the
#                            root; TZ is passed on where set
# Needs root. The caller's EXIT trap must call root_cleanup.
# MERRIVANE_RUN_DIR, a folder that lives as long as one CI run, makes the
# work of one root serve the whole run: a root of a main suite is kept there
# and reused, what was installed in it included; one of a release with its
# updates is bootstrapped once, kept as a tarball and unpacked afresh for
# each root, with the packages fetched in the roots of the release kept for
# the next. dpkg in every one of these throwaway roots skips its syncs.

root=
root_src=/src
root_sources=
root_mpid=
root_kept=
root_suite=
root_apt_update=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/apt-update.sh

# This machine's apt sources: Debian's own file, else the first there is
# (in a root mmdebstrap made, sources.list.d/0000*).
root_host_sources() {
	local f
	for f in /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list \
		/etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list; do
		[ -s "$f" ] && { echo "$f"; return; }
	done
	echo /etc/apt/sources.list
}

# The URI of this machine's main Debian suite.
root_mirror() { # host sources, host suite
	if [ "${1##*.}" = sources ]; then
		awk -v suite="$2" 'BEGIN { RS = ""; FS = "\n" } {
			uri = ""; found = 0
			for (i = 1; i <= NF; i++) {
				n = split($i, w, /[ \t]+/)
				if (w[1] == "URIs:") uri = w[2]
				if (w[1] == "Suites:") for (j = 2; j <= n; j++) if (w[j] == suite) found = 1
			}
			if (found && uri != "") { print uri; exit }
		}' "$1"
	else
		awk -v suite="$2" '$1 == "deb" {
			i = 2
			if ($2 ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
			if ($(i + 1) == suite) { print $i; exit }
		}' "$1"
	fi
}

root_make() { # suite, updates|main, packages to include
	local suite=$1 mode=$2
	shift 2
	local host_sources host_suite valid_until include run=${MERRIVANE_RUN_DIR:-} key
	key=$suite-$mode${*:+-$(IFS=-; echo "$*")}
	root_kept=
	root_suite=$suite
	if [ -n "$run" ] && [ "$mode" = main ]; then
		root=$run/root-$key root_kept=1
		[ ! -e "$root/.complete" ] || { echo "=== the Debian $suite root of this run, reused"; return 0; }
		rm -rf --one-file-system "$root"
		mkdir -p "$root"
	else
		root=$(mktemp -d /var/tmp/merrivane-root.XXXXXX)
		if [ -n "$run" ] && [ -f "$run/root-$key.tar" ]; then
			echo "=== the Debian $suite bootstrap of this run, unpacked afresh"
			tar -x -C "$root" -f "$run/root-$key.tar"
			return 0
		fi
	fi
	host_sources=$(root_host_sources)
	host_suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
	# Debian's development release is not refreshed in every archive, so its
	# Release file may have expired: only its root skips that check.
	case $suite in
	bookworm | trixie) valid_until= ;;
	*) valid_until='Check-Valid-Until: no' ;;
	esac
	if [ "$mode" = main ]; then
		local mirror
		mirror=$(root_mirror "$host_sources" "$host_suite")
		[ -n "$mirror" ] || { echo "no mirror for $host_suite in $host_sources" >&2; return 1; }
		root_sources=$(mktemp --suffix=.list /var/tmp/merrivane-sources.XXXXXX)
		echo "deb ${valid_until:+[check-valid-until=no] }$mirror $suite main" >"$root_sources"
	elif [ "${host_sources##*.}" = sources ]; then
		# mmdebstrap tells the two formats apart by the file's ending
		root_sources=$(mktemp --suffix=.sources /var/tmp/merrivane-sources.XXXXXX)
		# the machine's own mirrors with the release's name in place of its own
		sed -E "s/\b$host_suite(-[a-z]+)?\b/$suite\1/g" "$host_sources" |
			awk -v extra="$valid_until" '/^Types:/ && extra != "" { print; print extra; next } { print }' >"$root_sources"
	else
		root_sources=$(mktemp --suffix=.list /var/tmp/merrivane-sources.XXXXXX)
		sed -E "s/\b$host_suite(-[a-z]+)?\b/$suite\1/g; ${valid_until:+s/^deb /deb [check-valid-until=no] /}" \
			"$host_sources" >"$root_sources"
	fi
	grep -E '^(Suites|deb)' "$root_sources"
	include=$(IFS=,; echo "$*")
	# the lists updated as everywhere else: past a source that cannot be fetched
	mmdebstrap --variant=apt ${include:+--include="$include"} --quiet --skip=update \
		--dpkgopt=force-unsafe-io \
		--setup-hook="APT_CONFIG=\"\$MMDEBSTRAP_APT_CONFIG\" bash $(printf %q "$root_apt_update")" \
		"$suite" "$root" "$root_sources" &
	root_mpid=$!
	wait "$root_mpid"
	root_mpid=
	if [ -n "$root_kept" ]; then
		touch "$root/.complete"
	elif [ -n "$run" ]; then
		# whole or not at all, for a root of the release made meanwhile
		tar -c -C "$root" -f "$run/root-$key.tar.$$" . && mv "$run/root-$key.tar.$$" "$run/root-$key.tar"
	fi
}

root_mount() {
	mount -t proc proc "$root/proc"
	mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev"
	mount -t sysfs sysfs "$root/sys"
	root_archive_in
}

# The packages the roots of a release fetched in this run, linked into a
# new root's apt archive, and those it fetched linked back as it goes: each
# root's apt has an archive of its own, so roots of one release may run at
# once.
root_archive() { [ -n "${MERRIVANE_RUN_DIR:-}" ] && [ -z "$root_kept" ] && echo "$MERRIVANE_RUN_DIR/apt-$root_suite"; }
root_archive_in() {
	local shared
	shared=$(root_archive) || return 0
	mkdir -p "$shared" "$root/var/cache/apt/archives"
	find "$shared" -maxdepth 1 -name '*.deb' -exec cp -l -n -t "$root/var/cache/apt/archives" {} +
}
root_archive_out() {
	local shared
	shared=$(root_archive) && [ -d "$root/var/cache/apt/archives" ] || return 0
	find "$root/var/cache/apt/archives" -maxdepth 1 -name '*.deb' -exec cp -l -n -t "$shared" {} + 2>/dev/null
}

in_root() { # command, VAR=VALUE...
	local command=$1
	shift
	chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
		PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
		MERRIVANE_WERROR="${MERRIVANE_WERROR:-OFF}" ${TZ:+TZ="$TZ"} "$@" bash -c "cd $(printf %q "$root_src") && $command"
}

# set +e: every step runs, whatever failed before it
root_cleanup() {
	set +e
	# mmdebstrap undoes its own mounts when stopped
	[ -n "$root_mpid" ] && kill "$root_mpid" 2>/dev/null && wait "$root_mpid"
	[ -n "$root" ] || return 0
	# processes left in the root hold its mounts
	find /proc -mindepth 2 -maxdepth 2 -name root -lname "$root" 2>/dev/null | cut -d/ -f3 | xargs -r kill -9 2>/dev/null
	for m in tmp/.X11-unix sys dev proc; do
		mountpoint -q "$root/$m" 2>/dev/null && { umount -R "$root/$m" 2>/dev/null || umount -lR "$root/$m"; }
	done
	findmnt -rn -o TARGET | grep -F "$root/" | sort -r | xargs -r umount -l
	root_archive_out
	# never into a mount that is still there; a kept root stays for the
	# rest of the run, without the tree built in it
	if [ -n "$root_kept" ]; then
		[ "$root_src" = / ] || rm -rf --one-file-system "${root:?}$root_src"
		rm -f "$root_sources"
	else
		rm -rf --one-file-system "$root" "$root_sources"
	fi
}
