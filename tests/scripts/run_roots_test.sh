#!/bin/bash
# Within one run (MERRIVANE_RUN_DIR) each release is bootstrapped once: a
# main-suite root is kept, what was built in it removed after each use; a
# root with updates is unpacked afresh from the run's bootstrap. Without
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
roots=()
use() { # suite, mode, packages: a root made and used as the scripts do
	root_make "$@" >/dev/null
	roots+=("$root")
	mkdir -p "$root$root_src" && touch "$root$root_src/built"
	root_cleanup
}

export MERRIVANE_RUN_DIR=$dir/run
mkdir "$MERRIVANE_RUN_DIR"
root_src=/work/tree
use bookworm main
use bookworm main
expect "a main root made twice in one run" 1 "$(made)"
expect "the same main root" "${roots[0]}" "${roots[1]}"
expect "its tree removed, the root kept" "no yes" \
	"$([ -e "${roots[1]}/work/tree" ] && echo yes || echo no) $([ -f "${roots[1]}/etc/made" ] && echo yes || echo no)"
root_src=/src
for i in 1 2; do
	root_make trixie updates git >/dev/null
	roots+=("$root")
	expect "root $i with updates made from the bootstrap" yes "$(grep -q -- '--dpkgopt=force-unsafe-io' "$root/etc/made" && echo yes)"
	root_cleanup
done
expect "a release with updates bootstrapped once" 2 "$(made)"
expect "each root with updates its own, and gone" "no no" \
	"$([ -e "${roots[2]}" ] && echo yes || echo no) $([ -e "${roots[3]}" ] && echo yes || echo no)"
root_make trixie updates git libfltk1.4-dev >/dev/null && root_cleanup
expect "other packages, another bootstrap" 3 "$(made)"

unset MERRIVANE_RUN_DIR
use bookworm main
use bookworm main
expect "without a run, a root each time" 5 "$(made)"
expect "and nothing of either kept" no "$([ -e "${roots[4]}" ] || [ -e "${roots[5]}" ] && echo yes || echo no)"
exit "$status"
