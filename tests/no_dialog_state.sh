#!/usr/bin/env bash
# A run of the real program that opens no file dialog leaves nothing in the user's configuration
# folder: Qt's file dialogs write their state there whenever one is destroyed, and an exit that
# writes there can wait on another program's lock of that file.
#   no_dialog_state.sh QUORVEL_BINARY
set -u

binary=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/config"

# The screenshot run shows the splash, the main window and the filter dialog, then ends the
# program through its menu.
(cd "$work" && XDG_CONFIG_HOME=$work/config QT_QPA_PLATFORM=offscreen \
    QUORVEL_SCREENSHOT=$work/run.png "$binary")
rc=$?
if [ $rc -ne 0 ]; then
    echo "FAIL: the program ended with $rc"
    exit 1
fi
if [ ! -e "$work/run.png" ]; then
    echo "FAIL: the program did not get as far as its screenshot"
    exit 1
fi
written=$(cd "$work/config" && find . -type f)
if [ -n "$written" ]; then
    echo "FAIL: the run wrote into the configuration folder:"
    echo "$written"
    cat "$work/config/QtProject.conf" 2>/dev/null
    exit 1
fi
echo "nothing written into the configuration folder"
