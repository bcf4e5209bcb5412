#!/bin/bash
# Within one run (MERRIVANE_RUN_DIR) each release is bootstrapped once: a
# main-suite root is kept, what was built in it removed after each use; a
# root with updates is unpacked afresh from the run's bootstrap, with the
# packages the release's roots fetched before. Without
# the run's folder every root is new. mmdebstrap is a stand-in that counts.
set -eu
. "$1/scripts/debian-root.sh"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/bin"
cat >"$dir/bin/mmdebstrap" <<'EOF'
#!/bin/sh
eval "target=\${$(($# - 1))}"
echo x >>"$MADE"
mkdir -p "$target/etc" && echo "$*" >"$target/etc/made"
EOF
chmod +x "$dir/bin/mmdebstrap"
export PATH=$dir/bin:$PATH MADE=$dir/made
status=0
expect() { # what, want, got
	[ "$2" = "$3" ] || { echo "$1: got '$3', want '$2'" >&2; status=1; }
}
made() { wc -l <"$MADE" 2>/dev/null || echo 0; }
there() { for f; do [ -e "$f" ] && echo -n "yes " || echo -n "no "; done; }
roots=()
use() { # suite, mode, packages: a root made and used as the scripts do
	root_make "$@" >/dev/null
	roots+=("$root")
	grep -q -- --dpkgopt=force-unsafe-io "$root/etc/made" || expect "$* without force-unsafe-io" yes no
	mkdir -p "$root$root_src" && touch "$root$root_src/built"
	# the packages it starts with, and one it fetches
	root_archive_in
	mkdir -p "$root/var/cache/apt/archives"
	ls "$root/var/cache/apt/archives" | paste -sd ' ' >"$dir/had"
	touch "$root/var/cache/apt/archives/fetched-${#roots[@]}.deb"
	root_cleanup
}

export MERRIVANE_RUN_DIR=$dir/run
mkdir "$MERRIVANE_RUN_DIR"
root_src=/work/tree
use bookworm main
use bookworm main
expect "a main root made twice in one run" 1 "$(made)"
expect "the same main root" "${roots[0]}" "${roots[1]}"
expect "its tree removed, the root kept" "no yes " "$(there "${roots[1]}/work/tree" "${roots[1]}/etc/made")"
root_src=/src
use trixie updates git
use trixie updates git
expect "a release with updates bootstrapped once" 2 "$(made)"
expect "each root with updates its own, and gone" "no no " "$(there "${roots[2]}" "${roots[3]}")"
expect "a root with updates has what the release's roots fetched" fetched-3.deb "$(cat "$dir/had")"

unset MERRIVANE_RUN_DIR
use bookworm main
use bookworm main
expect "without a run, a root each time" 4 "$(made)"
expect "and nothing of either kept" "no no " "$(there "${roots[4]}" "${roots[5]}")"
exit "$status"
