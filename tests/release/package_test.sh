#!/bin/bash
# Builds the Debian package from the build tree, installs it into a scratch
# root and checks what a desktop user gets from it.
set -eu
build=$1

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
(cd "$build" && cpack -G DEB -B "$dir" >"$dir/cpack.log") || { cat "$dir/cpack.log" >&2; exit 1; }
deb=$(ls "$dir"/merrivane_*.deb)

fail() { echo "$*" >&2; exit 1; }

depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends =~ libfltk1\.[34](t64)?( |,|$) ]] || fail "Depends lacks the FLTK runtime (1.3 or 1.4): $depends"
[[ $depends == *libc6* ]] || fail "Depends not computed: $depends"

dpkg-deb -x "$deb" "$dir/root"
for f in usr/bin/merrivane usr/share/applications/merrivane.desktop \
	usr/share/icons/hicolor/scalable/apps/merrivane.svg \
	usr/share/metainfo/org.merrivane.merrivane.metainfo.xml usr/share/man/man1/merrivane.1.gz \
	usr/share/doc/merrivane/copyright usr/share/doc/merrivane/changelog.gz \
	usr/share/doc/merrivane/examples/spool.txt usr/share/doc/merrivane/examples/line.txt; do
	[ -s "$dir/root/$f" ] || fail "package lacks /$f"
done
[ -x "$dir/root/usr/bin/merrivane" ] || fail "/usr/bin/merrivane is not executable"
desktop-file-validate "$dir/root/usr/share/applications/merrivane.desktop"
grep -qx 'Exec=merrivane' "$dir/root/usr/share/applications/merrivane.desktop"

# Debian's own checker, everything it knows shown; it only grumbles at root.
lintian -I --pedantic "$deb" 2>&1 | grep -vx 'running with root privileges is not recommended!' >"$dir/lintian.log" || true
[ ! -s "$dir/lintian.log" ] || fail "lintian: $(cat "$dir/lintian.log")"
echo "$(basename "$deb"): Depends: $depends; lintian -I --pedantic silent"
