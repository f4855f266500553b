#!/bin/sh
# Takes docs/window.png: the desktop window connected to the demo world, on a virtual X
# display. Everything the client writes (settings, history, window placement) stays in a
# scratch folder. Waits by polling for each step, never for a fixed long time.
#
#   tools/screenshot.sh [build-folder] [output.png]
set -eu

build=${1:-build}
out=${2:-docs/window.png}
# The screen, and the window's client area on it (room for a window manager's frame).
width=1100
height=760
left=30
top=36
right=1070
bottom=736
case "$out" in /*) ;; *) out="$(pwd)/$out" ;; esac
case "$build" in /*) ;; *) build="$(pwd)/$build" ;; esac

for tool in xvfb-run import xwininfo; do
    command -v "$tool" >/dev/null || { echo "screenshot: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
server=
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Polls `$1` (a shell condition) every tenth of a second, for at most $2 seconds.
wait_for() {
    tries=$(($2 * 10))
    while ! eval "$1"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

"$build/zel-demo-server" >"$work/server.out" 2>&1 &
server=$!
wait_for 'grep -q "^listening on 127.0.0.1:[0-9]" "$work/server.out"' 10 || {
    echo "screenshot: the demo world did not start" >&2; exit 1; }
port=$(sed -n 's/^listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$work/server.out" | head -n 1)

# The window nearly fills the screen; a few commands of an earlier session are in the history.
mkdir -p "$work/config/Lumenhall"
printf '[General]\nleft=%d\ntop=%d\nright=%d\nbottom=%d\n' "$left" "$top" "$right" "$bottom" \
    >"$work/config/Lumenhall/ZEL.conf"
printf 'look\r\nsay hello\r\nwho\r\n' >"$work/history.zel"
cat >"$work/demo.zel" <<SETTINGS
|
|prompt auto
|option scrollpos top
|session add demo 127.0.0.1 $port Aria {known\\?} secret {Password:}
|complete add {say hello}
|log session.log
|connect demo
SETTINGS

cat >"$work/inside.sh" <<'INSIDE'
set -eu
cd "$WORK"
# A window manager, when there is one, gives the window its frame and title.
if command -v openbox >/dev/null; then
    command -v xsetroot >/dev/null && xsetroot -solid '#2e3440'
    openbox >/dev/null 2>&1 &
    wait_wm=0
    while ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window; do
        wait_wm=$((wait_wm + 1))
        [ "$wait_wm" -lt 50 ] || break
        sleep 0.1
    done
fi
"$BUILD/zel" demo.zel >"$WORK/zel.out" 2>&1 &
zel=$!
# The window is mapped, then the logon has run and the world has described the room.
wait_for() {
    tries=$(($2 * 10))
    while ! eval "$1"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}
wait_for 'xwininfo -root -tree 2>/dev/null | grep -q "ZEL Alpha Build"' 20 || {
    echo "screenshot: the window did not appear" >&2; cat "$WORK/zel.out" >&2; exit 1; }
# The session log has the world's answer to the logon: the room and its prompt.
wait_for 'grep -q "Type help" "$WORK/session.log" 2>/dev/null' 20 || {
    echo "screenshot: the demo world did not answer the logon" >&2; }
wait_for 'grep -q "> $" "$WORK/session.log" 2>/dev/null' 5 || true
sleep 1.1  # one refresh of the status bar, so that its counters are current
import -window root "$OUT"
kill "$zel" 2>/dev/null || true
INSIDE

WORK=$work BUILD=$build OUT=$out HOME=$work XDG_CONFIG_HOME=$work/config \
    xvfb-run -a -s "-screen 0 ${width}x${height}x24" sh "$work/inside.sh"
echo "screenshot: wrote $out"
