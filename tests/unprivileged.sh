#!/usr/bin/env bash
# Runs test functions of a test program as an unprivileged user. Permissions do not bind root,
# so tests of read-only folders and write-protected files skip as root; this runs them anyway.
# The program is copied to a folder of its own first: the build folder may lie where that user
# cannot reach it.
#   unprivileged.sh TEST_PROGRAM [TEST_FUNCTION...]
set -eu
program=$1
shift
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIPPED: not root; the test program itself runs these test functions"
    exit 77
fi
command -v setpriv >/dev/null || { echo "SKIPPED: setpriv is missing"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/"
chmod 755 "$work" "$work/$(basename "$program")"
# A home of that user's own, where the undo journal of its runs can be written.
mkdir "$work/home"
chown 65534:65534 "$work/home"
cd "$work"
HOME=$work/home setpriv --reuid=65534 --regid=65534 --clear-groups -- \
    "$work/$(basename "$program")" "$@"
