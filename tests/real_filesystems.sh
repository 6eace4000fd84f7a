#!/usr/bin/env bash
# The real program's rename and undo on three kinds of place: a folder in the temporary folder,
# an exFAT file system (exfat-fuse on a loop device), which takes neither the no-replace flag nor
# hard links and knows no letter case, and a bindfs mount, which takes hard links but not the
# flag. Each way of renaming without replacing is thus used: the flag, link and unlink, and an
# empty placeholder renamed over. On each: collisions, a chain, swaps, a circle of three, one
# with a member that cannot move (where files can be made immutable), folders with their files,
# and a change of letter case only. Every file's content is checked by its checksum after the
# run and after the undo. Skipped (77) only when neither FUSE place could be mounted; a place or
# scenario that could not be run is named.
#   real_filesystems.sh QUORVEL_BINARY
set -u
binary=$1
source "$(dirname "$0")/fs_places.sh"

# scenario NAME EXIT "FILES" "AFTER" ARGS...: in a new folder of the place, FILES (paths, folders
# ending in "/", a file's content padded to the size after a colon, a file made immutable for
# the run after a "!") are made, renamed with ARGS, which must end with EXIT, and undone. AFTER
# is what must be there after the run, as NEW=OLD: the path NEW holds what OLD held.
scenario() {
    local name=$1 rc=$2 files=$3 after=$4 dir=$place_dir/$1 label="$place $1" item path size got
    local lock=()
    shift 4
    mkdir "$dir"
    for item in $files; do
        path=${item#!}
        path=${path%%:*}
        size=0
        [[ $item == *:* ]] && size=${item#*:}
        [[ $item == !* ]] && lock+=("$lock_dir/$name/$path")
        if [[ $path == */ ]]; then
            mkdir -p "$dir/$path"
        else
            # Unique contents: each tells where it started.
            printf '%s of %s\n%*s' "$path" "$label" "$size" '' >"$dir/$path"
        fi
    done
    snapshot "$dir" >"$work/before"
    if [ ${#lock[@]} -gt 0 ]; then
        [ -n "$lock_dir" ] && locked=("${lock[@]}")
        if [ -z "$lock_dir" ] || ! chattr +i "${lock[@]}" 2>/dev/null; then
            not_run+=("$label: no immutable files there")
            return
        fi
    fi

    rm -f "$journal"
    (cd "$dir" && timeout 60 "$program" rename --lang en "$@") >"$work/out" 2>&1
    got=$?
    if [ ${#lock[@]} -gt 0 ]; then
        chattr -i "${lock[@]}"
        locked=()
    fi
    [ $got -eq "$rc" ] || fail "$label: rename exit $got, not $rc: $(refusals)"
    # Each NEW with the checksum that OLD had, or "-" for a folder, as a snapshot shows it.
    tr -s ' \n' '\n' <<<"$after" | grep . |
        awk -F '[\t=]' 'FNR == NR { sha[$2] = $1; next } { print sha[$2] "\t" $1 }' \
            "$work/before" - | sort -t "$(printf '\t')" -k 2 >"$work/expected"
    snapshot "$dir" >"$work/after"
    got=$(differences "$work/before" "$work/expected" "$work/after")
    [ -z "$got" ] || fail "$label after rename: $got"

    # A run that renamed nothing leaves nothing to undo.
    if ! cmp -s "$work/before" "$work/after"; then
        timeout 60 "$program" undo --lang en >"$work/out" 2>&1
        got=$?
        [ $got -eq 0 ] || fail "$label: undo exit $got: $(refusals)"
    fi
    snapshot "$dir" >"$work/undone"
    got=$(differences "$work/before" "$work/before" "$work/undone")
    [ -z "$got" ] || fail "$label after undo: $got"
}

# The program's lines other than the renamed or restored ones, the first three, on one line.
refusals() {
    grep -Ev $'\t(Renamed|Restored)$' "$work/out" | head -3 | sed "s|$place_dir/||" | paste -sd '|'
}

# Zero-padded names 01..10 in reverse order, numbered again: 10 and 01 swap, 09 and 02, and so on.
swaps="" pairs=""
for i in $(seq -w 1 10); do
    swaps+="$i.txt "
    pairs+="$i.txt=$(printf '%02d' $((11 - 10#$i))).txt "
done

scenarios() {
    scenario "two for one name" 1 "a.txt b.txt" "same.txt=a.txt b.txt=b.txt" \
        --mask same a.txt b.txt
    scenario "name of an unlisted file" 1 "a.txt b.txt taken-2.txt" \
        "taken-1.txt=a.txt b.txt=b.txt taken-2.txt=taken-2.txt" --mask 'taken-%num%' a.txt b.txt
    scenario chain 0 "$(echo {1..9}.txt)" \
        "$(for i in {1..9}; do echo "$((i + 1)).txt=$i.txt"; done)" \
        --mask '%num%' --start 2 --resolve-chains --no-folders .
    scenario swaps 0 "$swaps" "$pairs" \
        --mask '%0num%' --sort name --reverse --resolve-chains --no-folders .
    # By size 2, 3, 1: numbered 1, 2, 3, so 1 takes 3's name, 3 takes 2's and 2 takes 1's.
    scenario "circle of three" 0 "1.txt:300 2.txt:100 3.txt:200" \
        "1.txt=2.txt 2.txt=3.txt 3.txt=1.txt" \
        --mask '%num%' --sort size --resolve-chains --no-folders .
    # A member that cannot move: the circle is turned back, and no file is left under a
    # temporary name.
    scenario "circle with a locked member" 1 "!1.txt:300 2.txt:100 3.txt:200" \
        "1.txt=1.txt 2.txt=2.txt 3.txt=3.txt" \
        --mask '%num%' --sort size --resolve-chains --no-folders .
    scenario "folder with its files" 0 "trip/ trip/a.jpg trip/b.jpg trip/notes.txt" \
        "new-trip/=trip/ new-trip/new-a.jpg=trip/a.jpg new-trip/new-b.jpg=trip/b.jpg
         new-trip/notes.txt=trip/notes.txt" --filter jpg --mask 'new-%name%' trip
    scenario "folders swapped" 0 "1/ 1/a.txt 2/ 2/b.txt" \
        "1/=2/ 1/b.txt=2/b.txt 2/=1/ 2/a.txt=1/a.txt" \
        --mask '%num%' --sort name --reverse --resolve-chains --no-files 1 2
    scenario "letter case only" 0 "IMG_0001.JPG IMG_0002.JPG" \
        "img_0001.JPG=IMG_0001.JPG img_0002.JPG=IMG_0002.JPG" \
        --search IMG --replace img IMG_0001.JPG IMG_0002.JPG
    scenario "letter case of name and extension" 0 "IMG_A.JPG x-ray.Txt" \
        "Img_A.jpg=IMG_A.JPG X-Ray.txt=x-ray.Txt" --case words --ext-lower IMG_A.JPG x-ray.Txt
}

mounted=0
not_run=()
for place in tmp exfat bindfs; do
    place_dir=$work/$place
    # Where files can be made immutable: through bindfs only in the folder it shows.
    lock_dir=$place_dir
    case $place in
    tmp) mkdir "$place_dir" ;;
    exfat) mount_exfat "$place_dir" && lock_dir="" ;;
    bindfs) mount_bindfs "$place_dir" && lock_dir=$place_dir.source ;;
    esac || {
        not_run+=("$place: $refused")
        continue
    }
    [ "$place" == tmp ] || mounted=$((mounted + 1))
    scenarios
done

report "exFAT nor bindfs"
