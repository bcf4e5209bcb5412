#!/bin/bash
# Unpacks the FLTK sources from TARBALL (fltk-VERSION.tar.gz, one of those
# vendored in ../shared/vendor) into FOLDER/fltk-VERSION, once, after
# checking them, and prints that folder. Unpacked beside it and moved in
# whole, so an interrupted unpacking is never taken for the sources.
#   unpack-fltk.sh TARBALL FOLDER
set -eu
tarball=$1 folder=$2
name=$(basename "$tarball" .tar.gz)
case $name in
fltk-1.3.11) sha256=4563a5b357317246364822bb768e43d5a01a3adf5d489c08114f1e66480fdbad ;;
fltk-1.4.5) sha256=5613ac7880f2c53af25f800abf5b69141a3ab889431933a03733d223b74cad74 ;;
*) echo "$tarball: not an FLTK this program is built on (fltk-1.3.11.tar.gz, fltk-1.4.5.tar.gz)" >&2; exit 1 ;;
esac
[ -f "$tarball" ] || { echo "FLTK sources not found: $tarball (set FLTK_TARBALL)" >&2; exit 1; }
echo "$sha256  $tarball" | sha256sum -c --quiet >&2 || { echo "$tarball is not FLTK ${name#fltk-}" >&2; exit 1; }
mkdir -p "$folder"
fltk=$(cd "$folder" && pwd)/$name
if [ ! -d "$fltk" ]; then
	rm -rf "$folder/fltk-unpacking"
	mkdir "$folder/fltk-unpacking"
	tar -xzf "$tarball" -C "$folder/fltk-unpacking"
	mv "$folder/fltk-unpacking/$name" "$fltk"
	rmdir "$folder/fltk-unpacking"
fi
echo "$fltk"
