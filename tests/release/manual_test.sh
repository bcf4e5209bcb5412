#!/bin/bash
# The manual page renders with no warning at all from groff or man.
set -eu
page=$1
out=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
out+=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
[ -z "$out" ] || { echo "$out" >&2; exit 1; }
LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$page" | grep -q 'Spool File' || { echo "manual lacks the buttons" >&2; exit 1; }
