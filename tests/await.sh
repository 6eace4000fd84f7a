# Sourced by the shell tests that wait for a condition rather than for a fixed time.
# Polls a condition every tenth of a second for at most $1 seconds.
await() {
    local limit=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $limit ] || return 1
        sleep 0.1
    done
}
