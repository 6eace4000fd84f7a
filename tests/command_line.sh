#!/usr/bin/env bash
# The real program driven through its command line: help and version without a display, rename
# (dry run, text, JSON, refusals, bad input) and undo on real files, and a start of the window
# with two paths, which lists them as a drop would.
#   command_line.sh QUORVEL_BINARY VERSION
set -u
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
# A copy of its own: the window reads Auto.qvc beside the program.
cp "$1" "$work/quorvel"
program=$work/quorvel
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
mkdir -p "$HOME"
# The command line speaks the language of the locale; the checks choose it where it matters.
unset LC_ALL LC_MESSAGES
export LANG=C
failures=0

fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

# run NAME EXPECTED_EXIT EXPECTED_STDOUT ARGS...: no display at all; standard error goes to
# $work/err.
run() {
    local name=$1 rc=$2 expected=$3 out got
    shift 3
    out=$(cd "$dir" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@" \
        2>"$work/err")
    got=$?
    [ "$got" -eq "$rc" ] || fail "$name: exit $got, not $rc; standard error: $(cat "$work/err")"
    [ "$out" == "$expected" ] || fail "$name: printed
$out
instead of
$expected"
}

# files NAME EXPECTED: the files and folders below $dir, one per line, sorted.
files() {
    local got
    got=$(cd "$dir" && find . -mindepth 1 | sed 's|^\./||' | LC_ALL=C sort)
    [ "$got" == "$2" ] || fail "$1: on disk
$got
instead of
$2"
}

dir=$work/photos
mkdir -p "$dir/trip"
touch "$dir/trip/b.jpg" "$dir/trip/a.jpg" "$dir/trip/notes.txt" "$dir/c.png"
initial='c.png
trip
trip/a.jpg
trip/b.jpg
trip/notes.txt'

help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help)
[ $? -eq 0 ] && [[ "$help" == "Usage: quorvel "* ]] && [[ "$help" == *--resolve-chains* ]] ||
    fail "help: $help"
run version 0 "quorvel $version
Copyright (C) 2026 Velmora
Licence: proprietary, see https://www.velmora.com/licence" --version
run "unknown option" 2 "" --frobnicate "$dir"
[ "$(cat "$work/err")" == "quorvel: unknown option: --frobnicate
Try 'quorvel --help' for more information." ] ||
    fail "unknown option: standard error $(cat "$work/err")"
long=$(printf '%s\n' "$help" | awk 'length > 80')
[ -z "$long" ] || fail "help lines longer than 80 columns: $long"
for what in --help --version; do
    "$program" $what >/dev/full 2>/dev/null
    rc=$?
    [ $rc -eq 1 ] || fail "$what into a full disk: exit $rc, not 1"
done
run "option of rename without it" 2 "" --mask x "$dir"
run "bad sort" 2 "" rename --mask x --sort colour "$dir"
run "rename without a path" 2 "" rename --mask x
run "rename without a mask or search" 2 "" rename "$dir"

run "dry run" 0 "$dir/trip/b.jpg	holiday-1.jpg	Will be renamed
$dir/trip/a.jpg	holiday-2.jpg	Will be renamed
$dir/c.png	holiday-3.png	Will be renamed
3 will be renamed, 0 unchanged, 0 conflicts (dry run, nothing changed)" \
    rename --lang en --dry-run --no-folders --filter jpg,png --sort path --reverse \
    --mask 'holiday-%num%' trip c.png
files "dry run" "$initial"

LANG=de_DE.UTF-8 run rename 0 "$dir/trip/a.jpg	2-a.jpg	Umbenannt
$dir/trip/b.jpg	3-b.jpg	Umbenannt
$dir/trip	4-trip	Umbenannt
3 Dateien umbenannt" rename --filter JPG --start 2 --mask '%0num%-%name%' trip
files rename '4-trip
4-trip/2-a.jpg
4-trip/3-b.jpg
4-trip/notes.txt
c.png'

run undo 0 "$dir/4-trip	trip	Restored
$dir/trip/3-b.jpg	b.jpg	Restored
$dir/trip/2-a.jpg	a.jpg	Restored
3 files restored" undo --lang en
files undo "$initial"
run "nothing left to undo" 1 "" undo

# An expression that is not one renames nothing: each entry says so, the engine's words once.
run "invalid expression" 1 "$dir/trip/a.jpg		Invalid expression
$dir/trip/b.jpg		Invalid expression
0 files renamed (2 files could not be renamed)" \
    rename --lang en --regex --search '(' --no-folders trip/a.jpg trip/b.jpg
[[ "$(cat "$work/err")" == "quorvel: invalid expression: "* ]] ||
    fail "invalid expression: standard error $(cat "$work/err")"
# A date taken the file lacks: the entry stays and says so. The modification time, a search
# without regard to case and upper case, in that order.
run "no date taken" 1 "$dir/trip/a.jpg		No date taken
0 will be renamed, 0 unchanged, 1 conflict (dry run, nothing changed)" \
    rename --lang en --dry-run --date-source taken --mask '%y% %name%' trip/a.jpg
touch -d "2020-01-02 03:04:05" "$dir/trip/b.jpg"
run "modification time, case" 0 "$dir/trip/b.jpg	20200102-030405 X.jpg	Will be renamed
1 will be renamed, 0 unchanged, 0 conflicts (dry run, nothing changed)" \
    rename --lang en --dry-run --date-source modified --mask '%y%%m%%d%-%h%%min%%s% %name%' \
    --search B --replace x --ignore-case --case upper trip/b.jpg
mkdir "$work/numbered" && touch "$work/numbered/"{"Bild 10","Bild 2"}.jpg
run "numbers by value" 0 "$work/numbered/Bild 2.jpg	1.jpg	Will be renamed
$work/numbered/Bild 10.jpg	2.jpg	Will be renamed
2 will be renamed, 0 unchanged, 0 conflicts (dry run, nothing changed)" \
    rename --lang en --dry-run --natural --mask '%num%' --no-folders "$work/numbered"
files "invalid expression" "$initial"

# One new name is taken, one would be unsafe: both refused, the rest renamed, exit 1.
touch "$dir/trip/x-notes.txt"
run "json with refusals" 1 \
    '{"newName":"x-a.jpg","newPath":"'"$dir"'/trip/x-a.jpg","outcome":"renamed","path":"'"$dir"'/trip/a.jpg","status":"Renamed"}
{"newName":"x-notes.txt","newPath":"'"$dir"'/trip/notes.txt","outcome":"exists","path":"'"$dir"'/trip/notes.txt","reason":"name taken","status":"File already exists"}
{"newName":"x-x-notes.txt","newPath":"'"$dir"'/trip/x-x-notes.txt","outcome":"renamed","path":"'"$dir"'/trip/x-notes.txt","status":"Renamed"}
{"summary":{"dryRun":false,"refused":1,"renamed":2,"text":"2 files renamed (1 files could not be renamed)","unchanged":0}}' \
    rename --lang en --json --no-folders --mask 'x-%name%' trip/a.jpg trip/notes.txt trip/x-notes.txt
run "undo json" 0 '{"newName":"x-notes.txt","newPath":"'"$dir"'/trip/x-notes.txt","outcome":"restored","path":"'"$dir"'/trip/x-x-notes.txt","status":"Restored"}
{"newName":"a.jpg","newPath":"'"$dir"'/trip/a.jpg","outcome":"restored","path":"'"$dir"'/trip/x-a.jpg","status":"Restored"}
{"summary":{"refused":0,"restored":2,"text":"2 files restored"}}' undo --lang en --json
rm "$dir/trip/x-notes.txt"

# Files renamed before their folder: each line names where the file ends up, in the new folder.
run "json, folder renamed after its files" 0 \
    '{"newName":"x-trip","newPath":"'"$dir"'/x-trip","outcome":"renamed","path":"'"$dir"'/trip","status":"Renamed"}
{"newName":"x-a.jpg","newPath":"'"$dir"'/x-trip/x-a.jpg","outcome":"renamed","path":"'"$dir"'/trip/a.jpg","status":"Renamed"}
{"newName":"x-b.jpg","newPath":"'"$dir"'/x-trip/x-b.jpg","outcome":"renamed","path":"'"$dir"'/trip/b.jpg","status":"Renamed"}
{"summary":{"dryRun":false,"refused":0,"renamed":3,"text":"3 files renamed","unchanged":0}}' \
    rename --lang en --json --filter jpg --mask 'x-%name%' trip
"$program" undo >/dev/null 2>&1
files "undo after the folder" "$initial"

run "unsafe name" 1 "$dir/trip/a.jpg	a/a.jpg	Error	unsafe name
$dir/c.png	a/c.png	Error	unsafe name
0 files renamed (2 files could not be renamed)" rename --lang en --mask 'a/%name%' c.png trip/a.jpg
files "unsafe name" "$initial"

run "missing path" 2 "" rename --lang en --mask x c.png gone.png
[ "$(cat "$work/err")" == "quorvel: no such file or folder: gone.png" ] ||
    fail "missing path: standard error $(cat "$work/err")"
files "missing path" "$initial"

# Names as scripts meet them: control characters and backslashes escaped, so that an entry is one
# line; a refusal by the system gives its message, the same in a dry run; paths from standard
# input, NUL-separated, in one run with one undo.
odd=$'t\tn\nr\re\x1bb\\'
touch "$dir/$odd"
long=$(printf 'x%.0s' {1..300})
printf '%s\0' "$odd" c.png | run "escaped names" 0 "$dir/c.png	n-c.png	Will be renamed
$dir/t\\tn\\nr\\re\\x1bb\\\\	n-t\\tn\\nr\\re\\x1bb\\\\	Will be renamed
2 will be renamed, 0 unchanged, 0 conflicts (dry run, nothing changed)" \
    rename --lang en --dry-run --files-from - -0 --mask 'n-%name%'
run "name too long" 1 "$dir/c.png	$long.png	Error	File name too long
0 files renamed (1 files could not be renamed)" rename --lang en --mask "$long" c.png
run "name too long, planned" 1 "$dir/c.png	$long.png	Error	File name too long
0 will be renamed, 0 unchanged, 1 conflict (dry run, nothing changed)" \
    rename --lang en --dry-run --mask "$long" c.png
printf '%s\0' "$odd" c.png >"$work/list"
run "paths from a file" 0 "$dir/c.png	1.png	Renamed
$dir/t\\tn\\nr\\re\\x1bb\\\\	2	Renamed
2 files renamed" rename --lang en --files-from "$work/list" --null --mask '%num%'
(cd "$dir" && "$program" undo >/dev/null) || fail "paths from a file: not undone"
rm "$dir/$odd"
printf 'trip/a.jpg\n\ntrip/b.jpg\n' >"$work/list"
run "paths by line" 0 "$dir/trip/a.jpg	a-1.jpg	Renamed
$dir/trip/b.jpg	b-2.jpg	Renamed
2 files renamed" rename --lang en --files-from "$work/list" --mask '%name%-%num%'
(cd "$dir" && "$program" undo >/dev/null) || fail "paths by line: not undone"
files "paths from a file" "$initial"

# The language follows LC_ALL, LC_MESSAGES and LANG, not the marker files of the folder.
touch "$dir/de"
LC_ALL=C LANG=de_DE.UTF-8 run "language of the locale" 0 "$dir/c.png	c.png	Unchanged
0 will be renamed, 1 unchanged, 0 conflicts (dry run, nothing changed)" \
    rename --dry-run --mask '%name%' c.png
LC_MESSAGES=de_AT.UTF-8 run "language of messages" 0 "$dir/c.png	c.png	Unverändert
0 werden umbenannt, 1 unverändert, 0 Konflikte (Probelauf, nichts geändert)" \
    rename --dry-run --mask '%name%' c.png 2>/dev/null
rm "$dir/de"

# --recursive leaves out hidden names (a project's .git) unless --hidden; a hidden path given
# is taken.
mkdir -p "$dir/.git/objects"
touch "$dir/.git/objects/o.txt" "$dir/.hidden.txt"
run "hidden left out" 0 "$dir/.hidden.txt	n.txt	Will be renamed
$dir/trip/notes.txt	n.txt	Will be renamed
2 will be renamed, 0 unchanged, 0 conflicts (dry run, nothing changed)" \
    rename --lang en --dry-run --recursive --no-folders --filter txt --mask n . .hidden.txt
run "hidden taken" 0 "$dir/.hidden.txt	n.txt	Will be renamed
$dir/trip/notes.txt	n.txt	Will be renamed
$dir/.git/objects/o.txt	n.txt	Will be renamed
3 will be renamed, 0 unchanged, 0 conflicts (dry run, nothing changed)" \
    rename --lang en --dry-run --recursive --hidden --no-folders --filter txt --mask n .
rm -r "$dir/.git" "$dir/.hidden.txt"

# Undo after a circle shows each file once, by its names, never the temporary one; a run piped
# into head shows its first entry, renamed, at once and stops at the next.
mkdir "$dir/swap"
touch "$dir/swap/1.txt" "$dir/swap/2.txt"
run "circle" 0 "$dir/swap/2.txt	1.txt	Renamed
$dir/swap/1.txt	2.txt	Renamed
2 files renamed" rename --lang en --resolve-chains --reverse --mask '%num%' swap/1.txt swap/2.txt
run "circle undone" 0 "$dir/swap/2.txt	1.txt	Restored
$dir/swap/1.txt	2.txt	Restored
2 files restored" undo --lang en
touch "$dir/swap/"{3..3000}.txt
first=$(cd "$dir" && "$program" rename --lang en --no-folders --mask 'r%num%' swap | head -n 1)
[ "$first" == "$dir/swap/1.txt	r1.txt	Renamed" ] || fail "piped into head: printed $first"
renamed=$(find "$dir/swap" -name 'r*' | wc -l)
[ "$renamed" -lt 3000 ] || fail "piped into head: $renamed files renamed, not stopped"
(cd "$dir" && "$program" undo >/dev/null)
rm -r "$dir/swap"
files "circle" "$initial"

# The undo journal: a run whose journal cannot be written renames nothing unless --no-undo
# says so, nor does one while another run holds the journal; a journal that is no regular file
# is refused at once.
touch "$work/blocked"
XDG_DATA_HOME=$work/blocked run "journal not writable" 2 "" rename --lang en --mask 'x-%name%' c.png
[ "$(cat "$work/err")" == "quorvel: The undo journal cannot be written (Not a directory); nothing renamed (--no-undo renames without it)" ] ||
    fail "journal not writable: standard error $(cat "$work/err")"
files "journal not writable" "$initial"
XDG_DATA_HOME=$work/blocked run "without undo" 0 "$dir/c.png	x-c.png	Renamed
1 files renamed" rename --lang en --no-undo --mask 'x-%name%' c.png
mv "$dir/x-c.png" "$dir/c.png"
journal="$XDG_DATA_HOME/Quorvel - Velmora/last-run.journal"
mkdir -p "${journal%/*}"
(cd "$dir" && flock "$journal.lock" "$program" rename --lang en --mask 'x-%name%' c.png) \
    >/dev/null 2>"$work/err"
rc=$?
[ $rc -eq 2 ] || fail "second run at once: exit $rc, not 2"
[ "$(cat "$work/err")" == "quorvel: Another rename or undo is running; nothing changed" ] ||
    fail "second run at once: standard error $(cat "$work/err")"
files "second run at once" "$initial"
rm -f "$journal"
mkfifo "$journal"
out=$(timeout 20 "$program" undo --lang en 2>"$work/err")
rc=$?
[ $rc -eq 2 ] || fail "journal is a FIFO: exit $rc, not 2"
[ "$(cat "$work/err")" == "quorvel: The undo journal is damaged or not a journal; nothing changed" ] ||
    fail "journal is a FIFO: standard error $(cat "$work/err")"
rm -f "$journal"

# A name that is not UTF-8 is written by its bytes (\xHH), formed from the text shown (U+FFFD
# where a byte is not UTF-8) and undone to the same bytes: found in a folder, named on the
# command line or read from a list.
mkdir "$dir/old"
latin=$(printf 'caf\xe9.txt')
touch "$dir/old/$latin" "$dir/old/plain.txt"
run "not UTF-8, scanned" 0 "$dir/old/caf\\xe9.txt	cafe.txt	Renamed
$dir/old/plain.txt	plain.txt	Unchanged
1 files renamed" rename --lang en --no-folders --search "$(printf '\xef\xbf\xbd')" --replace e old
run "not UTF-8, undone" 0 "$dir/old/cafe.txt	caf\\xe9.txt	Restored
1 files restored" undo --lang en
run "not UTF-8, named" 0 "$dir/old/caf\\xe9.txt	p.txt	Renamed
1 files renamed" rename --lang en --mask p "old/$latin"
run "not UTF-8, named, undone" 0 "$dir/old/p.txt	caf\\xe9.txt	Restored
1 files restored" undo --lang en
printf 'old/%s\0' "$latin" >"$work/list"
run "not UTF-8, listed" 0 "$dir/old/caf\\xe9.txt	q.txt	Renamed
1 files renamed" rename --lang en -0 --files-from "$work/list" --mask q
(cd "$dir" && "$program" undo >/dev/null)
[ -f "$dir/old/$latin" ] || fail "not UTF-8: the old bytes are not back"
rm -r "$dir/old"

# Permissions do not bind root: the unreadable folder is tried as an unprivileged user.
mkdir "$dir/closed"
chmod 000 "$dir/closed"
if [ "$(id -u)" -ne 0 ]; then
    run "unreadable folder" 2 "" rename --lang en --mask x closed
    err=$(cat "$work/err")
elif command -v setpriv >/dev/null; then
    chmod 755 "$work" "$dir"
    err=$(cd "$dir" && setpriv --reuid=65534 --regid=65534 --clear-groups -- \
        env HOME=/ "$program" rename --lang en --mask x closed 2>&1 >/dev/null)
    [ $? -eq 2 ] || fail "unreadable folder: exit code not 2"
else
    err="quorvel: cannot read the folder: closed"
fi
[ "$err" == "quorvel: cannot read the folder: closed" ] || fail "unreadable folder: $err"
rmdir "$dir/closed"

# The window: a folder scanned with the filter of the start configuration and listed itself,
# and a file; --lang en wins over the marker file "de".
printf '[PFRB]\r\nalle=0\r\nauswahl=1\r\n[PFED]\r\nfilter=jpg\r\n' >"$work/Auto.qvc"
touch "$dir/de"
listed=$(cd "$dir" && QT_QPA_PLATFORM=offscreen QUORVEL_PRINT_LIST=1 "$program" --lang en \
    trip c.png 2>"$work/err")
rc=$?
[ $rc -eq 0 ] || fail "window: exit $rc; standard error: $(cat "$work/err")"
expected="$dir/trip/a.jpg	Added
$dir/trip/b.jpg	Added
$dir/c.png	Added
$dir/trip	Added"
[ "$listed" == "$expected" ] || fail "window listed
$listed
instead of
$expected"

if [ $failures -gt 0 ]; then
    echo "$failures checks failed"
    exit 1
fi
echo "all checks passed"
