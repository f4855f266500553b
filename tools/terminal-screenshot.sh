#!/bin/sh
# Takes docs/terminal.png: the terminal interface (`zel --headless` in an xterm of 100x30,
# TERM=xterm-256color) connected to the demo world, on a virtual X display. Everything the
# client writes (history, log) stays in a scratch folder. Waits by polling for each step.
#
#   tools/terminal-screenshot.sh [build-folder] [output.png]
set -eu

build=${1:-build}
out=${2:-docs/terminal.png}
case "$out" in /*) ;; *) out="$(pwd)/$out" ;; esac
case "$build" in /*) ;; *) build="$(pwd)/$build" ;; esac

for tool in xvfb-run import xterm xwininfo; do
    command -v "$tool" >/dev/null || { echo "terminal-screenshot: $tool is missing" >&2; exit 1; }
done

work=$(mktemp -d)
server=
cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

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
    echo "terminal-screenshot: the demo world did not start" >&2; exit 1; }
port=$(sed -n 's/^listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$work/server.out" | head -n 1)

printf 'look\r\nsay hello\r\nwho\r\n' >"$work/history.zel"
cat >"$work/demo.zel" <<SETTINGS
|
|session add demo 127.0.0.1 $port Aria {known\\?} secret {Password:}
|action add tour {Type help to see} {look;say Hello, Bree!;who}
|log session.log
|connect demo
SETTINGS

cat >"$work/inside.sh" <<'INSIDE'
set -eu
cd "$WORK"
wait_for() {
    tries=$(($2 * 10))
    while ! eval "$1"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}
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

WORK=$work BUILD=$build OUT=$out HOME=$work \
    xvfb-run -a -s "-screen 0 1000x700x24" sh "$work/inside.sh"
echo "terminal-screenshot: wrote $out"
