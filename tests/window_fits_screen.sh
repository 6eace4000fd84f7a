#!/usr/bin/env bash
# The real program on X servers of 1280x1024 and 1920x1080 with a real window manager (openbox
# under Xvfb), at the scales 1, 1.5 and 2: the main window's frame lies inside the work area, at
# the design size where that fits and else at the largest size that does; a start configuration
# stored on a larger screen is brought inside too. At scale 2 on 1920x1080 the filter dialog
# opens inside as well.
#   window_fits_screen.sh QUORVEL_BINARY
# Exits 77 (skipped) only where Xvfb or openbox cannot run.
set -u

skip() {
    echo "SKIPPED: $*"
    exit 77
}

binary=$(realpath "$1")

if [ -z "${QUORVEL_ON_XVFB:-}" ]; then
    for tool in xvfb-run Xvfb xauth openbox; do
        command -v "$tool" >/dev/null ||
            skip "$tool is not installed (bash tools/quorvel.sh test installs it)"
    done
    for tool in xdotool wmctrl xprop xwininfo; do
        if ! command -v "$tool" >/dev/null; then
            echo "FAIL: $tool is missing (bash tools/quorvel.sh test installs it)"
            exit 1
        fi
    done
    status=0
    for screen in 1280x1024 1920x1080; do
        # The run on the display removes the mark first: a mark left means no display came up.
        # Another X server starting at the same moment may take the display number: try again.
        for attempt in 1 2 3; do
            mark=$(mktemp)
            QUORVEL_ON_XVFB=$mark QUORVEL_SCREEN=$screen \
                xvfb-run -a -s "-screen 0 ${screen}x24" bash "$0" "$@"
            rc=$?
            [ -e "$mark" ] || break
            rm -f "$mark"
            [ $attempt -eq 3 ] && skip "Xvfb could not be started"
            sleep 1
        done
        [ $rc -eq 77 ] && exit 77
        [ $rc -ne 0 ] && status=1
    done
    [ $status -eq 0 ] && echo "all cases passed"
    exit $status
fi
rm -f "$QUORVEL_ON_XVFB"

. "$(dirname "$0")/wm_session.sh"

# The work area: x y width height. The session waited for it; it is still read until it holds
# four numbers, so that a missing property fails plainly instead of as a shell error.
work_area() {
    local values
    values=$(xprop -root _NET_WORKAREA 2>/dev/null | sed -n 's/.*= //; s/,//gp' | cut -d' ' -f1-4)
    [[ "$values" =~ ^[0-9]+\ [0-9]+\ [1-9][0-9]*\ [1-9][0-9]*$ ]] || return 1
    read -r area_x area_y area_w area_h <<<"$values"
}
if ! await 30 work_area; then
    echo "FAIL: the window manager gave no work area: $(xprop -root _NET_WORKAREA 2>&1)"
    exit 1
fi

# The window of the run with that title and window type.
find_window() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$pid" --name "$1" 2>/dev/null); do
        if xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -q "= _NET_WM_WINDOW_TYPE_$2"; then
            window=$w
            return 0
        fi
    done
    return 1
}

# The outer frame of $window as "x y width height", from its inside and the frame extents.
frame_of() {
    local x y w h l r t b
    x=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left X: *//p')
    y=$(xwininfo -id "$window" | sed -n 's/.*Absolute upper-left Y: *//p')
    w=$(xwininfo -id "$window" | sed -n 's/^ *Width: *//p')
    h=$(xwininfo -id "$window" | sed -n 's/^ *Height: *//p')
    # Until the window manager has framed the window the extents are missing: not measured yet.
    read -r l r t b < <(xprop -id "$window" _NET_FRAME_EXTENTS 2>/dev/null |
        sed -n 's/.*= //; s/,//gp')
    [[ "$x $y $w $h $l $r $t $b" =~ ^-?[0-9]+\ -?[0-9]+(\ [0-9]+){6}$ ]] || return 1
    echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b)) $w $h"
}

# Settled: framed, and its place and size no longer change.
settled() {
    local now
    now=$(frame_of 2>/dev/null)
    if [ -n "$now" ] && [ "$now" = "$last" ]; then
        same=$((same + 1))
    else
        same=0
    fi
    last=$now
    [ $same -ge 4 ]
}

# Waits for the window and sets frame (x y width height) and inside (width height).
measure() {
    if ! await 30 find_window "$1" "$2"; then
        echo "FAIL: the window \"$1\" did not appear"
        return 1
    fi
    last=""
    same=0
    await 30 settled || echo "note: the window kept changing: $last"
    read -r fx fy fw fh iw ih <<<"$last"
}

ended() {
    ! kill -0 "$pid" 2>/dev/null
}

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# The frame lies inside the work area.
check_inside() {
    if [ "$fx" -lt "$area_x" ] || [ "$fy" -lt "$area_y" ] ||
        [ $((fx + fw)) -gt $((area_x + area_w)) ] || [ $((fy + fh)) -gt $((area_y + area_h)) ]; then
        fail "$1: the frame $fw x $fh at $fx,$fy is not inside the work area" \
            "$area_w x $area_h at $area_x,$area_y"
    fi
}

# near A B TOLERANCE
near() {
    local d=$(($1 - $2))
    [ ${d#-} -le "$3" ]
}

# run_case SCALE NAME AUTO_QVC WANTED_WIDTH WANTED_HEIGHT [MORE]: starts the program with that
# start configuration, checks its main window against the wanted inside size at scale 1, runs
# the further check MORE, and closes the program through the window manager.
run_case() {
    local scale=$1 name=$2
    rm -f "$work/bin/Auto.qvc"
    [ -n "$3" ] && printf '%b' "$3" >"$work/bin/Auto.qvc"
    (cd "$work" && QT_SCALE_FACTOR=$scale exec "$work/bin/quorvel") >"$work/run.log" 2>&1 &
    pid=$!
    # A click on the splash shows the main window at once.
    if await 30 find_window Quorvel SPLASH; then
        xdotool mousemove --window "$window" 20 20 click 1 2>/dev/null
    fi
    if measure Quorvel NORMAL; then
        local main=$window
        echo "$QUORVEL_SCREEN scale $scale, $name: frame $fw x $fh at $fx,$fy; inside $iw x $ih"
        check_inside "$name at scale $scale"
        # The frame at the wanted size, or as much of it as the work area holds; fractional
        # scales round each number.
        local tolerance want_w want_h
        tolerance=$(awk -v s="$scale" 'BEGIN { printf "%d", 2 * s + 1 }')
        want_w=$(awk -v w="$4" -v s="$scale" -v f=$((fw - iw)) -v a="$area_w" \
            'BEGIN { x = int(w * s + 0.5) + f; print (x < a ? x : a) }')
        want_h=$(awk -v h="$5" -v s="$scale" -v f=$((fh - ih)) -v a="$area_h" \
            'BEGIN { x = int(h * s + 0.5) + f; print (x < a ? x : a) }')
        if [ "$4" -gt 0 ] && { ! near "$fw" "$want_w" "$tolerance" ||
            ! near "$fh" "$want_h" "$tolerance"; }; then
            fail "$name at scale $scale: frame $fw x $fh, expected about $want_w x $want_h"
        fi
        [ $# -ge 6 ] && "$6" "$scale" "$main"
        window=$main
        wmctrl -i -c "$window"
        await 30 ended || fail "the program did not end after its main window was closed"
    else
        failures=$((failures + 1))
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
}

# The filter dialog, opened by its button beside the folder field, opens inside.
filter_dialog() {
    local scale=$1 main=$2 x y
    # "Filter.." sits 37 points from the right edge, 63 below the menu bar.
    x=$(awk -v w="$iw" -v s="$scale" 'BEGIN { printf "%d", w - 37 * s }')
    y=$(awk -v s="$scale" -v m=$((design_h - 639)) 'BEGIN { printf "%d", (m + 63) * s }')
    xdotool mousemove --window "$main" "$x" "$y" click 1 2>/dev/null
    if measure Filter UTILITY; then
        echo "$QUORVEL_SCREEN scale $scale, filter dialog: frame $fw x $fh at $fx,$fy"
        check_inside "the filter dialog at scale $scale"
        wmctrl -i -c "$window"
    else
        failures=$((failures + 1))
    fi
}

# The design size: at scale 1 on either screen the inside is the 614 x 639 client below the
# menu bar, whose height the first run measures.
design_w=614
design_h=""
design() {
    design_h=$ih
    if [ "$iw" -ne $design_w ] || [ "$ih" -le 639 ] || [ "$ih" -gt 680 ]; then
        fail "at scale 1 the inside is $iw x $ih, not the design size"
    fi
}
run_case 1 "no start configuration" "" 0 0 design
[ -n "$design_h" ] || exit 1
larger='[SP]\r\nPF=0\r\nPB=1800\r\nPH=1400\r\nPT=300\r\nPL=400\r\n'
for scale in 1 1.5 2; do
    check_filter=""
    [ "$QUORVEL_SCREEN" = 1920x1080 ] && [ "$scale" = 2 ] && check_filter=filter_dialog
    [ "$scale" = 1 ] || run_case "$scale" "no start configuration" "" "$design_w" "$design_h" \
        $check_filter
    run_case "$scale" "stored on a larger screen" "$larger" 1800 $((1400 + design_h - 639))
done

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed on $QUORVEL_SCREEN"
    exit 1
fi
