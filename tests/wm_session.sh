# Sourced, on the Xvfb display, by the tests that run the real program under the openbox window
# manager. Needs `skip` and `binary`. Gives a work folder removed at the end (with the program of
# $pid and the window manager), `await`, openbox in charge of the display, and the program copied
# to $work/bin, where it reads and writes its Auto.qvc, with its configuration folder in $work.

work=$(mktemp -d)
wm=""
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

source "$(dirname "${BASH_SOURCE[0]}")/await.sh"

openbox >"$work/openbox.log" 2>&1 &
wm=$!
# openbox names itself on the root window before it publishes the desktop's properties; on a
# busy machine the work area comes noticeably later, and a test that measured then read nothing.
wm_ready() {
    kill -0 "$wm" 2>/dev/null || skip "openbox could not be started: $(cat "$work/openbox.log")"
    wmctrl -m >/dev/null 2>&1 &&
        xprop -root _NET_WORKAREA 2>/dev/null | grep -Eq '= [0-9]+, [0-9]+, [1-9][0-9]*, [1-9][0-9]*'
}
await 60 wm_ready || skip "openbox did not take over the display"

mkdir -p "$work/bin" "$work/config"
cp "$binary" "$work/bin/quorvel"
export XDG_CONFIG_HOME=$work/config
export QT_QPA_PLATFORM=xcb
