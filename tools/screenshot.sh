#!/bin/sh
# Takes docs/window.png: the desktop window connected to the demo world, on a virtual X
# display (see screenshot-common.sh).
#
#   tools/screenshot.sh [build-folder] [output.png]
set -eu

name=screenshot
build=${1:-build}
out=${2:-docs/window.png}
# The screen, and the window's client area on it (room for a window manager's frame).
width=1100
height=760
left=30
top=36
right=1070
bottom=736
. "$(dirname "$0")/screenshot-common.sh"
screenshot_start

# The window nearly fills the screen.
mkdir -p "$work/config/Lumenhall"
printf '[General]\nleft=%d\ntop=%d\nright=%d\nbottom=%d\n' "$left" "$top" "$right" "$bottom" \
    >"$work/config/Lumenhall/ZEL.conf"
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
# A window manager, when there is one, gives the window its frame and title.
if command -v openbox >/dev/null; then
    command -v xsetroot >/dev/null && xsetroot -solid '#2e3440'
    openbox >/dev/null 2>&1 &
    wait_for 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window' 5 || true
fi
"$BUILD/zel" demo.zel >"$WORK/zel.out" 2>&1 &
zel=$!
# The window is mapped, then the logon has run and the world has described the room.
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

screenshot_take "${width}x${height}" XDG_CONFIG_HOME="$work/config"
