#!/bin/bash
# Unpacks the FLTK 1.3.11 sources from TARBALL into FOLDER/fltk-1.3.11, once,
# after checking them, and prints that folder. Unpacked beside it and moved
# in whole, so an interrupted unpacking is never taken for the sources.
#   unpack-fltk.sh TARBALL FOLDER
set -eu
tarball=$1 folder=$2
sha256=4563a5b357317246364822bb768e43d5a01a3adf5d489c08114f1e66480fdbad
[ -f "$tarball" ] || { echo "FLTK 1.3.11 sources not found: $tarball (set FLTK_TARBALL)" >&2; exit 1; }
echo "$sha256  $tarball" | sha256sum -c --quiet >&2 || { echo "$tarball is not FLTK 1.3.11" >&2; exit 1; }
mkdir -p "$folder"
fltk=$(cd "$folder" && pwd)/fltk-1.3.11
if [ ! -d "$fltk" ]; then
	rm -rf "$folder/fltk-unpacking"
	mkdir "$folder/fltk-unpacking"
	tar -xzf "$tarball" -C "$folder/fltk-unpacking"
	mv "$folder/fltk-unpacking/fltk-1.3.11" "$fltk"
	rmdir "$folder/fltk-unpacking"
fi
echo "$fltk"
