# Sourced by the screenshot scripts: takes a picture of the client connected to the demo
# world, on a virtual X display, with everything the client writes in a scratch folder.
# Waits by polling for each step, never for a fixed long time.
#
# The script sets `name` (the prefix of its messages), `build` and `out`, then calls
# screenshot_start with the tools it needs, writes "$work/demo.zel" (connecting to $port)
# and "$work/inside.sh", and calls screenshot_take. inside.sh runs on the display, in "$WORK",
# with BUILD and OUT set, `set -eu` and this file sourced.

# Polls `$1` (a shell condition) every tenth of a second, for at most $2 seconds.
wait_for() {
    tries=$(($2 * 10))
    while ! eval "$1"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# Checks the tools, makes the scratch folder $work, and starts the demo world on a free port
# ($port). A history of a few commands of an earlier session is in place.
screenshot_start() {
    case "$out" in /*) ;; *) out="$(pwd)/$out" ;; esac
    case "$build" in /*) ;; *) build="$(pwd)/$build" ;; esac
    common="$(cd "$(dirname "$0")" && pwd)/screenshot-common.sh"
    for tool in xvfb-run import xwininfo "$@"; do
        command -v "$tool" >/dev/null || { echo "$name: $tool is missing" >&2; exit 1; }
    done

    work=$(mktemp -d)
    server=
    trap screenshot_cleanup EXIT
    trap 'exit 130' INT TERM

    "$build/zel-demo-server" >"$work/server.out" 2>&1 &
    server=$!
    wait_for 'grep -q "^listening on 127.0.0.1:[0-9]" "$work/server.out"' 10 || {
        echo "$name: the demo world did not start" >&2; exit 1; }
    port=$(sed -n 's/^listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$work/server.out" | head -n 1)
    printf 'look\r\nsay hello\r\nwho\r\n' >"$work/history.zel"
}

screenshot_cleanup() {
    [ -n "$server" ] && kill "$server" 2>/dev/null || true
    rm -rf "$work"
}

# Runs "$work/inside.sh" on a virtual screen of $1 (WIDTHxHEIGHT); further arguments are
# extra VAR=value settings of its environment.
screenshot_take() {
    size=$1
    shift
    env COMMON="$common" WORK="$work" BUILD="$build" OUT="$out" HOME="$work" "$@" \
        xvfb-run -a -s "-screen 0 ${size}x24" \
        sh -c '. "$COMMON"; set -eu; cd "$WORK"; . "$WORK/inside.sh"'
    echo "$name: wrote $out"
}
