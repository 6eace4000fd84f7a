#!/usr/bin/env bash
# The real program killed (SIGKILL) at ten moments of a run that turns a thousand or more names
# in circles, on ext4 and on exFAT (exfat-fuse, where each rename first reserves its target with
# an empty placeholder), each kill followed by `quorvel undo`: every file must be back under its
# old name with its content, with nothing under a temporary name, no placeholder and nothing else
# left in the folder. A full run, timed, spreads the ten moments evenly over its length. Skipped
# (77) only when neither file system could be mounted.
#   kill_undo.sh QUORVEL_BINARY
set -u
binary=$1
source "$(dirname "$0")/fs_places.sh"

rename_args=(rename --lang en --mask '%0num%' --sort size --resolve-chains --no-folders .)

# Files 1..N, named with the zero padding of %0num%, in circles of $circle: ordered by size, each
# file is numbered as the one before it was and the first as the last. The list orders sizes in
# thousandths of a KB, so neighbours differ by two bytes. $work/plan holds each
# old name and the name the run gives it. Long circles spend the run mostly on renames, so most
# kills land inside a turn.
make_files() {
    local i name new
    mkdir "$dir"
    : >"$work/plan"
    for ((i = 1; i <= count; i++)); do
        new=$((i % circle == 1 ? i + circle - 1 : i - 1))
        printf -v name '%0*d.dat' ${#count} $i
        printf 'file %s of the run on %s\n%*s' "$name" "$place" $((2 * new)) '' >"$dir/$name"
        printf '%s\t%0*d.dat\n' "$name" ${#count} $new >>"$work/plan"
    done
}

# The program's lines other than the restored ones, the first three, on one line.
refusals() {
    grep -Ev $'\t(Renamed|Restored)$' "$work/out" | head -3 | sed "s|$dir/||" | paste -sd '|'
}

# Undoes, and checks that the folder is as before the run: `undone LABEL`. A folder that is not
# is made anew, so that each kill starts from the same files.
undone() {
    local got
    timeout 60 "$program" undo --lang en >"$work/out" 2>&1
    snapshot "$dir" >"$work/undone"
    got=$(differences "$work/before" "$work/before" "$work/undone")
    [ -z "$got" ] && return
    fail "$1, after undo: $got; undo said: $(refusals)"
    rm -rf "$dir"
    rm -f "$journal"
    make_files
}

seconds() {
    printf '%d.%06d' $(($1 / 1000000)) $(($1 % 1000000))
}

mounted=0
not_run=()
for place in ext4 exfat; do
    place_dir=$work/$place
    # Runs of about a second and more; exFAT's placeholders make each rename slower.
    case $place in
    ext4) mount_ext4 "$place_dir" && count=6000 circle=1000 ;;
    exfat) mount_exfat "$place_dir" && count=3000 circle=1000 ;;
    esac || {
        not_run+=("$place: $refused")
        continue
    }
    mounted=$((mounted + 1))
    dir=$place_dir/photos
    make_files
    snapshot "$dir" >"$work/before"
    awk -F '\t' 'FNR == NR { sha[$2] = $1; next } { print sha[$1] "\t" $2 }' \
        "$work/before" "$work/plan" | sort -t "$(printf '\t')" -k 2 >"$work/turned"

    start=${EPOCHREALTIME/./}
    (cd "$dir" && timeout 60 "$program" "${rename_args[@]}") >"$work/out" 2>&1
    rc=$?
    duration=$((${EPOCHREALTIME/./} - start))
    [ $rc -eq 0 ] || fail "$place full run: exit $rc: $(refusals)"
    snapshot "$dir" >"$work/after"
    got=$(differences "$work/before" "$work/turned" "$work/after")
    [ -z "$got" ] || fail "$place full run, after rename: $got"
    undone "$place full run"
    echo "$place: $count files in circles of $circle, a full run takes $(seconds $duration) s"

    # The moments spread over the run in an order that covers it evenly even when a busy
    # machine leaves time for only some of them.
    done_kills=0
    for kill in 1 10 5 3 8 2 7 4 9 6; do
        # Within the test's time limit, so that the mounts are still taken down here.
        if [ $SECONDS -gt 170 ]; then
            if [ $done_kills -lt 4 ]; then
                fail "$place: out of time after $done_kills kills"
            else
                echo "$place: time for $done_kills of 10 kills on this busy machine"
            fi
            break
        fi
        done_kills=$((done_kills + 1))
        at=$((duration * (2 * kill - 1) / 20))
        # Undo must not find a journal of an earlier run.
        rm -f "$journal"
        (cd "$dir" && exec "$program" "${rename_args[@]}") >/dev/null 2>&1 &
        running=$!
        sleep "$(seconds $at)"
        kill -KILL $running 2>/dev/null
        # The shell's own word on the killed job is no news here.
        { wait $running; } 2>/dev/null
        rc=$?
        running=""
        ended=""
        [ $rc -eq 137 ] || ended=" (the run had ended with $rc)"
        undone "$place kill $kill/10 after $(seconds $at) s$ended"
    done
done

report "ext4 nor exFAT"
