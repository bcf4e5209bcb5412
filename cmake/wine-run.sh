#!/bin/sh
# Runs a Windows program under Wine for the tests. Where no server is kept
# running for the prefix (scripts/windows.sh keeps one a while), waits
# first, a while at most, until the server of the program before has gone:
# one started while it winds down can fail to start at all.
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
[ -n "${MERRIVANE_WINESERVER_KEPT:-}" ] || timeout 15 "$wineserver" -w 2>/dev/null
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
exec "$wine" "$@"
