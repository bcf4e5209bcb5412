#!/bin/bash
# Debian arm64: scripts/cross.sh arm64, under its former name.
exec bash "$(dirname "$0")/cross.sh" arm64 "$@"
