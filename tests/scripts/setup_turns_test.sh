#!/bin/bash
# Set-ups run at once take turns with apt, and the later one installs only
# what the earlier left missing. apt-get, dpkg and dpkg-query are stand-ins
# that keep what is installed in a file. As root: setup.sh takes sudo else.
set -eu
[ "$(id -u)" -eq 0 ] || { echo "needs root"; exit 77; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/bin"
cat >"$dir/bin/dpkg-query" <<'EOF'
#!/bin/sh
p=$(eval echo "\${$#}")
grep -qx "$p" "$STATE" && echo "install ok installed amd64"
EOF
cat >"$dir/bin/dpkg" <<'EOF'
#!/bin/sh
[ "$1" = --print-architecture ] && echo amd64
exit 0
EOF
cat >"$dir/bin/apt-get" <<'EOF'
#!/bin/sh
[ "$1" = install ] || exit 0
[ "$2" = -s ] && exit 0
shift 3
echo "start $*" >>"$LOG"
sleep 1
printf '%s\n' "$@" >>"$STATE"
echo "end $*" >>"$LOG"
EOF
chmod +x "$dir/bin"/*
export PATH=$dir/bin:$PATH STATE=$dir/state LOG=$dir/log
touch "$STATE"
bash "$1/scripts/setup.sh" only a b >/dev/null &
until grep -q start "$LOG" 2>/dev/null; do sleep 0.05; done
bash "$1/scripts/setup.sh" only b c >/dev/null
wait
want="start --no-install-recommends a b
end --no-install-recommends a b
start --no-install-recommends c
end --no-install-recommends c"
[ "$(cat "$LOG")" = "$want" ] || { printf 'apt ran:\n%s\nwant:\n%s\n' "$(cat "$LOG")" "$want" >&2; exit 1; }
