#!/usr/bin/env bash
# The real program on an X server with a real window manager (openbox under Xvfb), started and
# closed through the window manager again and again with automatic saving "Immer": the main
# window must come back where it was when it was closed, so the start configuration's PT/PL stay
# the same from run to run. A stored place with the title bar above the screen is pulled inside
# on the first run and then stays.
#   window_position.sh QUORVEL_BINARY [SCREEN]
# Exits 77 (skipped) only where Xvfb or openbox cannot run.
set -u

skip() {
    echo "SKIPPED: $*"
    exit 77
}

binary=$(realpath "$1")
screen=${2:-1280x1024x24}

if [ -z "${QUORVEL_ON_XVFB:-}" ]; then
    for tool in xvfb-run Xvfb xauth openbox; do
        command -v "$tool" >/dev/null ||
            skip "$tool is not installed (bash tools/quorvel.sh test installs it)"
    done
    for tool in xdotool wmctrl xprop; do
        if ! command -v "$tool" >/dev/null; then
            echo "FAIL: $tool is missing (bash tools/quorvel.sh test installs it)"
            exit 1
        fi
    done
    # The run on the display removes the mark first: a mark left means no display came up.
    mark=$(mktemp)
    QUORVEL_ON_XVFB=$mark xvfb-run -a -s "-screen 0 $screen" bash "$0" "$@"
    rc=$?
    if [ -e "$mark" ]; then
        rm -f "$mark"
        skip "Xvfb could not be started"
    fi
    exit $rc
fi
rm -f "$QUORVEL_ON_XVFB"

. "$(dirname "$0")/wm_session.sh"

value() {
    tr -d '\r' <"$work/bin/Auto.qvc" | sed -n "s/^$1=//p"
}

# The main window of the run: its one normal window (the splash names the splash type first).
main_window() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$pid" --name Quorvel 2>/dev/null); do
        if xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q "= _NET_WM_WINDOW_TYPE_NORMAL"; then
            window=$w
            return 0
        fi
    done
    return 1
}

# Settled: the window manager has framed the window and its place no longer changes.
settled() {
    local now
    now=$(xdotool getwindowgeometry "$window" 2>/dev/null | tr '\n' ' ')
    if [ -n "$now" ] && [ "$now" = "$last" ]; then
        same=$((same + 1))
    else
        same=0
    fi
    last=$now
    [ $same -ge 5 ]
}

ended() {
    ! kill -0 "$pid" 2>/dev/null
}

# One start, and a close as by the close box: the window manager asks the window to close.
cycle() {
    (cd "$work" && exec "$work/bin/quorvel") >"$work/run.log" 2>&1 &
    pid=$!
    window=""
    if ! await 60 main_window; then
        echo "FAIL: the main window did not appear"
        kill "$pid"
        return 1
    fi
    last=""
    same=0
    await 30 settled || echo "note: the window kept moving: $last"
    wmctrl -i -c "$window"
    if ! await 30 ended; then
        echo "FAIL: the program did not end after its main window was closed"
        kill "$pid"
        return 1
    fi
    wait "$pid"
    local rc=$?
    if [ $rc -ne 0 ]; then
        echo "FAIL: the program ended with $rc: $(cat "$work/run.log")"
        return 1
    fi
}

failures=0

# run_case NAME PT PL CYCLES EXPECTED_PT EXPECTED_PL
run_case() {
    local name=$1 cycles=$4 want_top=$5 want_left=$6
    printf '[SP]\r\nPF=0\r\nPT=%s\r\nPL=%s\r\n[AS]\r\nN=0\r\nA=1\r\n' "$2" "$3" \
        >"$work/bin/Auto.qvc"
    echo "== $name: PT=$2 PL=$3"
    local i top left
    for i in $(seq "$cycles"); do
        cycle || {
            failures=$((failures + 1))
            return
        }
        top=$(value PT)
        left=$(value PL)
        echo "run $i: PT=$top PL=$left"
        if [ "$top" != "$want_top" ] || [ "$left" != "$want_left" ]; then
            echo "FAIL: expected PT=$want_top PL=$want_left after run $i"
            failures=$((failures + 1))
            return
        fi
    done
}

run_case "a place on the screen stays" 120 100 6 120 100
# Openbox without panels leaves the whole screen available: its top is 0.
run_case "a title bar above the screen is pulled inside" -200 100 3 0 100

# Closing through the window manager opens no file dialog, so Qt's dialog state stays unwritten.
if [ -e "$work/config/QtProject.conf" ]; then
    echo "FAIL: the runs wrote QtProject.conf"
    failures=$((failures + 1))
fi

if [ $failures -ne 0 ]; then
    echo "$failures case(s) failed"
    exit 1
fi
echo "all cases passed"
