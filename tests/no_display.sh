#!/usr/bin/env bash
# Starts the program where no display can be opened: no display named at all, and a display
# named that does not exist. Each time one line on standard error and the exit code 1.
set -u
program=$1
check() {
    local what=$1; shift
    local err rc
    err=$(cd "$(mktemp -d)" && env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" "$program" 2>&1 >/dev/null)
    rc=$?
    if [ "$rc" -ne 1 ] || [ "$(printf '%s\n' "$err" | wc -l)" -ne 1 ] ||
        [[ "$err" != quorvel:* ]]; then
        echo "FAIL $what: exit $rc, standard error:"
        printf '%s\n' "$err"
        exit 1
    fi
    echo "ok $what: $err"
}
check "no display" env -u DISPLAY
check "display that does not exist" env DISPLAY=:97531
