# Sourced by the tests that run the real program on real file systems. Needs `binary`. Gives:
#   $work      a folder of its own, removed at the end, with a copy of the program ($program) and
#              private home, data and configuration folders ($journal is the undo journal);
#   locked     files a test made immutable (chattr +i), unlocked at the end;
#   fail       counts a failed check and prints it on one line;
#   await      polls a condition;
#   mount_exfat, mount_ext4, mount_bindfs DIR
#              mount a new file system at DIR; when that is refused they return 1 and leave the
#              reason in $refused;
#   snapshot DIR
#              what lies below DIR, one line each, sorted by name: the SHA-256 of a file's content
#              or "-" for a folder, a tab, and the path below DIR (a folder's ending in "/");
#   differences BEFORE EXPECTED ACTUAL
#              what ACTUAL (a snapshot) has other than EXPECTED, in a few words per kind, each
#              content named after the path it had in BEFORE.
# Whatever was mounted is unmounted, and every loop device detached, also when a check fails or
# the test is interrupted: a mount left behind would outlive the test and hold its image.

work=$(mktemp -d)
chmod 755 "$work"
cp "$binary" "$work/quorvel"
program=$work/quorvel
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
mkdir -p "$HOME"
journal="$XDG_DATA_HOME/Quorvel - Velmora/last-run.journal"
export LC_ALL=C.UTF-8
empty_content=e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855
failures=0
mounts=()
loops=()
locked=()
running=""
refused=""

cleanup() {
    local i
    [ -n "$running" ] && kill -KILL "$running" 2>/dev/null && wait "$running" 2>/dev/null
    [ ${#locked[@]} -eq 0 ] || chattr -i "${locked[@]}" 2>/dev/null
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        umount "${mounts[i]}" 2>/dev/null || fusermount3 -u "${mounts[i]}" 2>/dev/null ||
            umount -l "${mounts[i]}" 2>/dev/null || echo "could not unmount ${mounts[i]}"
    done
    # The FUSE daemon lets go of the device shortly after the unmount; a device still held is
    # detached as soon as it is free.
    for i in "${loops[@]}"; do
        losetup -d "$i" 2>/dev/null || echo "could not detach $i"
    done
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

source "$(dirname "${BASH_SOURCE[0]}")/await.sh"

# A new image of 64 MiB made by MKFS... on a loop device; the device is left in $loop.
loop_image() {
    local image=$work/image-${#loops[@]}.img out
    if [ "$(id -u)" -ne 0 ]; then
        refused="not root, and loop devices need root"
        return 1
    fi
    truncate -s 64M "$image"
    if ! out=$("$@" "$image" 2>&1); then
        refused="$1 failed: $out"
        return 1
    fi
    if ! loop=$(losetup -f --show "$image" 2>&1); then
        refused="no loop device: $loop"
        return 1
    fi
    loops+=("$loop")
}

# Mounts the device or image in $2 at $1 with the command after it; "$refused" says why not.
mount_with() {
    local dir=$1 device=$2 out
    shift 2
    mkdir -p "$dir"
    if ! out=$("$@" "$device" "$dir" 2>&1); then
        refused="$1 refused: $out"
        return 1
    fi
    mounts+=("$dir")
    await 10 mountpoint -q "$dir" || {
        refused="$1 did not mount $dir"
        return 1
    }
}

mount_exfat() {
    [ -c /dev/fuse ] || {
        refused="no /dev/fuse"
        return 1
    }
    command -v mount.exfat-fuse >/dev/null || {
        refused="mount.exfat-fuse is missing (package exfat-fuse)"
        return 1
    }
    loop_image mkfs.exfat && mount_with "$1" "$loop" mount.exfat-fuse
}

mount_ext4() {
    loop_image mkfs.ext4 -q -F && mount_with "$1" "$loop" mount -t ext4
}

mount_bindfs() {
    [ -c /dev/fuse ] || {
        refused="no /dev/fuse"
        return 1
    }
    command -v bindfs >/dev/null || {
        refused="bindfs is missing"
        return 1
    }
    mkdir -p "$1.source"
    mount_with "$1" "$1.source" bindfs
}

snapshot() {
    (cd "$1" && {
        find . -mindepth 1 -type d -printf '-\t%P/\n'
        find . -type f -print0 | xargs -0r sha256sum | sed 's|^\([0-9a-f]*\)  \./|\1\t|'
        find . -mindepth 1 ! -type d ! -type f -printf 'other\t%P\n'
    }) | sort -t "$(printf '\t')" -k 2
}

differences() {
    awk -F '\t' -v empty="$empty_content" '
        function content(sha) {
            if (sha == "-")
                return "a folder"
            if (sha == empty)
                return "nothing (empty)"
            return sha in origin ? "the content of " origin[sha] : "unknown content"
        }
        FNR == 1 { file++ }
        file == 1 { if ($1 != "-") origin[$1] = $2; next }
        file == 2 { expected[$2] = $1; next }
        { actual[$2] = $1; present[$1] = 1 }
        END {
            for (sha in origin)
                if (!(sha in present))
                    print "content lost\t" origin[sha]
            for (name in expected)
                if (!(name in actual))
                    print "missing\t" name
                else if (actual[name] == empty && expected[name] != empty)
                    print "empty placeholder\t" name " (in place of " content(expected[name]) ")"
                else if (actual[name] != expected[name])
                    print "wrong content\t" name " holds " content(actual[name]) \
                        ", not " content(expected[name])
            for (name in actual) {
                if (name in expected)
                    continue
                base = name
                sub(/\/$/, "", base)
                sub(/.*\//, "", base)
                if (base ~ /^\.quorvel-turn-/)
                    print "under a temporary name\t" name " (" content(actual[name]) ")"
                else if (actual[name] == empty)
                    print "empty placeholder\t" name
                else
                    print "unexpected\t" name " (" content(actual[name]) ")"
            }
        }' "$1" "$2" "$3" | sort | awk -F '\t' '
        # Per kind: how many, and the first three.
        $1 != kind { flush(); kind = $1; n = 0; shown = "" }
        { n++; if (n <= 3) shown = shown (n > 1 ? ", " : "") $2 }
        function flush() {
            if (kind != "")
                out = out (out != "" ? "; " : "") kind " " n ": " shown (n > 3 ? ", ..." : "")
        }
        END { flush(); printf "%s", out }'
}

# The verdict: the places that could not be used, the failures, and a skip (77) when none of the
# mounted places named in $1 could be mounted (mounted=0).
report() {
    local reason
    for reason in "${not_run[@]}"; do
        echo "NOT RUN on $reason"
    done
    if [ $failures -gt 0 ]; then
        echo "$failures checks failed"
        exit 1
    fi
    if [ $mounted -eq 0 ]; then
        echo "SKIPPED: neither $1 could be mounted"
        exit 77
    fi
    echo "all checks passed"
}
