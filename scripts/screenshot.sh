#!/bin/bash
# Makes docs/main-window.png, the main window under Xvfb with a spool typed
# in, and docs/help-window.png. Needs a build in build/ and ImageMagick.
set -eu
cd "$(dirname "$0")/.."
[ -n "${DISPLAY:-}" ] || exec tests/ui/with-xvfb.sh "$0" "$@"

build/merrivane &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Merrivane$' | head -n 1)

type_into() { # y of the field, keys
	xdotool mousemove --window "$wid" 224 "$1" click 1 key ctrl+a $2
}
type_into 48 "3 period 5"
type_into 91 "6"
type_into 134 "1 period 5"
type_into 177 "0 period 0 2"
xdotool mousemove --window "$wid" 380 285
xdotool search --sync --onlyvisible --name '^Merrivane$' >/dev/null
mkdir -p docs
import -window "$wid" docs/main-window.png
xdotool mousemove --window "$wid" 44 264 click 1
help=$(timeout 20 xdotool search --sync --onlyvisible --name '^Help$' | head -n 1)
xdotool mousemove --window "$help" 500 5
import -window "$help" docs/help-window.png
xdotool windowunmap --sync "$help"

# a fine wire's capacity, drawn smaller so that no digit is cut
type_into 48 "6"
type_into 91 "1 2"
type_into 134 "3"
type_into 177 "0 period 0 0 0 2"
xdotool mousemove --window "$wid" 380 285
sleep 0.5
import -window "$wid" docs/capacity-large.png
