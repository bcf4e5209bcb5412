#!/bin/bash
# Puts Debian 13's box64 for ARM64, with the ARM64 libraries it runs on,
# into FOLDER, from this machine's own Debian mirror, unpacked only: the
# machine's packages and apt sources stay as they are. For the emulator
# tests (MERRIVANE_BOX64_ROOT), which run it under qemu-aarch64-static.
# Needs root (mmdebstrap).
#   box64-root.sh FOLDER
set -eu
folder=$1
[ ! -x "$folder/usr/bin/box64" ] || exit 0
bash "$(dirname "$0")/setup.sh" only mmdebstrap qemu-user-static
. "$(dirname "$0")/debian-root.sh"
mirror=$(root_mirror "$(root_host_sources)" "$(. /etc/os-release && echo "$VERSION_CODENAME")")
[ -n "$mirror" ] || { echo "box64-root: no Debian mirror in $(root_host_sources)" >&2; exit 1; }
rm -rf "$folder.partial"
mmdebstrap --variant=extract --arch=arm64 --include=box64 --quiet trixie "$folder.partial" "deb $mirror trixie main"
# the merged /usr, which unpacking alone does not make: the loader's path
for d in lib bin; do [ -e "$folder.partial/$d" ] || ln -s "usr/$d" "$folder.partial/$d"; done
mv "$folder.partial" "$folder"
