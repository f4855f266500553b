#!/bin/sh
# Takes docs/terminal.png: the terminal interface (`zel --headless` in an xterm of 100x30,
# TERM=xterm-256color) connected to the demo world, on a virtual X display (see
# screenshot-common.sh).
#
#   tools/terminal-screenshot.sh [build-folder] [output.png]
set -eu

name=terminal-screenshot
build=${1:-build}
out=${2:-docs/terminal.png}
. "$(dirname "$0")/screenshot-common.sh"
screenshot_start xterm

cat >"$work/demo.zel" <<SETTINGS
|
|session add demo 127.0.0.1 $port Aria {known\\?} secret {Password:}
|action add tour {Type help to see} {look;say Hello, Bree!;who}
|log session.log
|connect demo
SETTINGS

cat >"$work/inside.sh" <<'INSIDE'
xterm -geometry 100x30+0+0 -bg black -fg '#c0c0c0' -fa 'DejaVu Sans Mono' -fs 11 \
    -tn xterm-256color -xrm 'XTerm*locale: true' -b 8 -bw 0 \
    -e env LC_ALL=C.UTF-8 "$BUILD/zel" --headless demo.zel &
term=$!
wait_for 'grep -q "who" "$WORK/session.log" 2>/dev/null' 20 || {
    echo "terminal-screenshot: the demo world did not answer" >&2; }
wait_for 'grep -q "> $" "$WORK/session.log" 2>/dev/null' 5 || true
sleep 1.1  # one refresh of the status line, so that its counters are current
id=$(xwininfo -root -tree | awk '/xterm/ { print $1; exit }')
import -window "${id:-root}" "$OUT"
kill "$term" 2>/dev/null || true
INSIDE

screenshot_take 1000x700
