#!/usr/bin/env bash
# Both forms of the program, started as a new user would start them: under
# the test's X display, with a throwaway HOME.
# - Installed into a temporary root, it must make the user's data folder from
#   the installed defaults, make no menu entries of its own, show the demo
#   server's recommended page, and leave the installed folder as it was.
# - The build's app folder copied elsewhere is portable: it keeps its data
#   beside itself and makes no data folder in HOME.
# usage: installed_program_test.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
root=$work/root
home=$work/home
pids=()
finish() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 10))); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
program=$root/usr/lib/tavelo
[ -f "$program/installed" ] || fail "no installed marker in $program"
# Every name, type, mode and content of the installed files.
snapshot() { (cd "$root" && find . -printf '%p %y %m\n' | sort && find . -type f -exec sha256sum {} + | sort); }
before=$(snapshot)

"$root/usr/bin/tavelo-demo-server" --port 0 2>"$work/server.log" &
pids+=($!)
wait_for 10 grep -q "port [0-9]*," "$work/server.log" || fail "the demo server did not start"
port=$(sed -n 's/^tavelo-demo-server: port \([0-9]*\),.*/\1/p' "$work/server.log")

mkdir -p "$home"
# start LAUNCHER: the program in the background, as the user in $home.
start() {
  env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u XDG_CACHE_HOME HOME="$home" WEBKIT_DISABLE_COMPOSITING_MODE=1 \
    "$1" >>"$work/program.log" 2>&1 &
  pids+=($!)
}
# The template at $1 points at the demo server's port.
point_at_server() { sed -i "s/127\.0\.0\.\([0-9]\):8790/127.0.0.\1:$port/g" "$1"; }
# Whether the recommended page has been asked for $1 times.
recommended() { [ "$(grep -c "^catalogue 127.0.0.1 GET /tj/index.asp?v=108 200" "$work/server.log")" -eq "$1" ]; }
stop() {
  kill "${pids[-1]}" 2>/dev/null || true
  wait "${pids[-1]}" 2>/dev/null || true
  unset 'pids[-1]'
}

# First start: the data folder appears, with the shipped defaults.
data=$home/.local/share/tavelo
start "$root/usr/bin/tavelo"
wait_for 30 test -f "$data/data/main.htm" || fail "no data folder after the first start: $(cat "$work/program.log")"
wait_for 10 test -d "$data/tavelo" -a -d "$data/script/tmp" || fail "the data folder lacks tavelo/ or script/tmp/"
for default in "$program"/data/*; do
  cmp -s "$default" "$data/data/$(basename "$default")" || fail "$(basename "$default") was not copied as shipped"
done
stop

# The user's own template points at the demo server's port; the next start
# shows its recommended page.
point_at_server "$data/data/main.htm"
start "$root/usr/bin/tavelo"
wait_for 60 recommended 1 || fail "the recommended page was not asked for: $(cat "$work/program.log")"
stop

# The package made the menu entry; the program makes none of its own.
[ ! -e "$home/Desktop" ] || fail "a desktop entry was made in $home/Desktop"
[ ! -e "$home/.local/share/applications" ] || fail "a menu entry was made in $home/.local/share/applications"
[ "$before" == "$(snapshot)" ] || fail "the installed folder changed: $(diff <(echo "$before") <(snapshot))"

# The portable form: a copy of the build's app folder, with a fresh HOME.
rm -rf "$home" && mkdir -p "$home"
cp -r "$build/app" "$work/portable"
rm -rf "$work/portable/tavelo" "$work/portable/script" "$work/portable"/data/my*.dat
point_at_server "$work/portable/data/main.htm"
start "$work/portable/tavelo-launcher"
wait_for 60 recommended 2 || fail "the portable copy did not show the recommended page: $(cat "$work/program.log")"
stop
[ -d "$work/portable/tavelo" ] || fail "the portable copy made no tavelo/ beside itself"
# Only the browser's own data, which every copy keeps in the user's folders.
made=$(ls -A "$home/.local/share/tavelo" 2>/dev/null | grep -vx webkit || true)
[ -z "$made" ] || fail "the portable copy made data in HOME: $made"
echo "installed: made $data and showed the recommended page, the installed folder unchanged; portable: data beside itself"
