#!/bin/bash
# Windows: the real program read by an MSAA client (msaa_client.exe), both
# under Wine on the test's display.
set -eu
prog=$1 client=$2
. "$(dirname "$0")/session.sh"

enter_scratch
start "$prog"
main=$(find_window Merrivane)
run "$client"
