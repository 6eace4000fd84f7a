#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what the desktop reads from it: the
# desktop entry, the AppStream metainfo, the man page, the icons and the service menu; and that
# the installed program keeps its start configuration in the user's configuration folder, also
# when run by root, while a copy in a plain folder keeps it beside itself.
#   installation.sh CMAKE BUILD_DIR
set -u
cmake=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
failures=0

fail() {
    echo "FAIL $*"
    failures=$((failures + 1))
}

for tool in desktop-file-validate appstreamcli man; do
    command -v "$tool" >/dev/null || fail "$tool is missing (bash tools/quorvel.sh test installs it)"
done
[ $failures -eq 0 ] || exit 1

DESTDIR=$work/root "$cmake" --install "$build" --prefix /usr >/dev/null || fail "cmake --install"
root=$work/root/usr
share=$root/share
id=org.quorvel.Quorvel

[ -x "$root/bin/quorvel" ] || fail "no program in bin/"
out=$(desktop-file-validate "$share/applications/$id.desktop" 2>&1) || fail "desktop entry: $out"
grep -qx 'Exec=quorvel %F' "$share/applications/$id.desktop" || fail "desktop entry: Exec"
out=$(appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" 2>&1) ||
    fail "metainfo: $out"
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$share/man/man1/quorvel.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "man page: $warnings"
for option in --lang --mask --start --search --replace --in --filter --recursive --no-files \
    --no-folders --sort --reverse --resolve-chains --dry-run --json; do
    LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$share/man/man1/quorvel.1.gz" 2>/dev/null |
        grep -q -- "^ *$option\b" || fail "man page: $option is not described"
done

# The width and height of a PNG stand at bytes 16 to 23 of the file.
for size in 16 22 24 32 48 64 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$id.png
    read -r -a dims <<<"$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null)"
    got=$(((dims[2] << 8) + dims[3]))x$(((dims[6] << 8) + dims[7]))
    [ "$got" == "${size}x$size" ] || fail "icon $png: $got"
done
svg=$share/icons/hicolor/scalable/apps/$id.svg
grep -q 'viewBox="0 0 64 64"' "$svg" && grep -q '<path ' "$svg" || fail "no scalable icon"
menu=$share/kio/servicemenus/$id.servicemenu.desktop
grep -qx 'Name\[de\]=Mit Quorvel umbenennen' "$menu" && grep -qx 'Name=Rename with Quorvel' "$menu" &&
    [ -x "$menu" ] || fail "service menu"

# The installed program as a user who cannot write its folder (as installed by root): the start
# configuration comes from the user's configuration folder, whose filter lets only .jpg in.
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
    home=$work/home
    mkdir -p "$home/config/Quorvel - Velmora" "$home/pictures"
    touch "$home/pictures/a.jpg" "$home/pictures/b.png"
    printf '[PFRB]\r\nalle=0\r\nauswahl=1\r\n[PFED]\r\nfilter=jpg\r\n' \
        >"$home/config/Quorvel - Velmora/Auto.qvc"
    chown -R 65534:65534 "$home"
    listed=$(cd "$home" && setpriv --reuid=65534 --regid=65534 --clear-groups -- \
        env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
        QT_QPA_PLATFORM=offscreen QUORVEL_PRINT_LIST=1 "$root/bin/quorvel" pictures \
        2>"$work/err" | cut -f1)
    [ "$listed" == "$home/pictures/a.jpg
$home/pictures" ] || fail "installed program listed: $listed $(cat "$work/err")"
else
    echo "not checked: the start configuration of a program in a folder its user cannot write" \
        "(needs root and setpriv)"
fi

# The installed program as root, who could write its folder: it still keeps its start
# configuration per user, while a copy in a plain folder keeps using the file beside it. Each
# folder's file lets in another ending, so the list tells which file was read.
config="[PFRB]\r\nalle=0\r\nauswahl=1\r\n[PFED]\r\nfilter=%s\r\n"
startWith() { # PROGRAM: prints the list the program starts with
    (cd "$work/start" && env HOME="$work/start" XDG_CONFIG_HOME="$work/start/config" \
        XDG_DATA_HOME="$work/start/data" QT_QPA_PLATFORM=offscreen QUORVEL_PRINT_LIST=1 "$1" \
        pictures 2>"$work/err" | cut -f1)
}
if [ "$(id -u)" -eq 0 ]; then
    user=$work/start/config/"Quorvel - Velmora"
    mkdir -p "$user" "$work/start/pictures" "$work/plain"
    touch "$work/start/pictures/a.jpg" "$work/start/pictures/b.png"
    # shellcheck disable=SC2059
    printf "$config" jpg >"$user/Auto.qvc"
    listed=$(startWith "$root/bin/quorvel")
    [ "$listed" == "$work/start/pictures/a.jpg
$work/start/pictures" ] || fail "installed program run by root listed: $listed $(cat "$work/err")"
    [ ! -e "$root/bin/Auto.qvc" ] || fail "installed program run by root wrote bin/Auto.qvc"

    cp "$root/bin/quorvel" "$work/plain/"
    # shellcheck disable=SC2059
    printf "$config" png >"$work/plain/Auto.qvc"
    listed=$(startWith "$work/plain/quorvel")
    [ "$listed" == "$work/start/pictures/b.png
$work/start/pictures" ] || fail "program in a plain folder listed: $listed $(cat "$work/err")"
else
    echo "not checked: the start configuration of a program run by root"
fi

if [ $failures -gt 0 ]; then
    echo "$failures checks failed"
    exit 1
fi
echo "all checks passed"
