#!/usr/bin/env bash
# Installs what the build needs, builds, and then runs the program, the tests, the benchmarks
# or a screenshot of the main window.
#   bash tools/quorvel.sh run | test | bench [million] | screenshot [en|de] | package | sanitize
# "bench million" also loads a tree of 1,000,000 files (10 folders x 100,000; a few minutes).
# "sanitize" builds into build-sanitize with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs the tests there: a memory error, a leak or undefined behaviour fails the test.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make qt6-base-dev qt6-translations-l10n libgl-dev fonts-dejavu-core
          fonts-liberation2 xvfb xauth dbus openbox xdotool wmctrl x11-utils desktop-file-utils
          appstream man-db dpkg-dev file exfat-fuse exfatprogs bindfs fuse3 e2fsprogs mount
          lintian libexiv2-dev libtag1-dev pkg-config libimage-exiftool-perl python3-mutagen)
# The other tools the command line is measured against.
if [ "${1:-}" = bench ]; then
    packages+=(mmv rename exiv2)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

if [ "${1:-}" = sanitize ]; then
    build=${QUORVEL_SANITIZE_BUILD_DIR:-build-sanitize}
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_SANITIZE=ON >/dev/null
    cmake --build "$build" -j"$(nproc)"
    cd "$build"
    # Where undefined behaviour happened, not only what.
    export UBSAN_OPTIONS=print_stacktrace=1
    exec ctest --output-on-failure
fi

build=${QUORVEL_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"

case "${1:-run}" in
run)
    exec "$build/app/quorvel"
    ;;
test)
    cd "$build"
    exec ctest --output-on-failure
    ;;
bench)
    uptime
    for b in "$build"/bench/bench_*; do
        [ -x "$b" ] && QT_QPA_PLATFORM=offscreen "$b"
    done
    if [ "${2:-}" = million ]; then
        QT_QPA_PLATFORM=offscreen "$build/bench/bench_adding" 10 100000
    fi
    ;;
screenshot)
    lang=${2:-de}
    dir=$(mktemp -d)
    [ "$lang" = en ] && touch "$dir/en"
    (cd "$dir" && QUORVEL_SCREENSHOT="$dir/screenshot-$lang.png" \
        xvfb-run -a -s "-screen 0 1280x1024x24" "$OLDPWD/$build/app/quorvel")
    mv "$dir"/screenshot-*.png .
    rm -rf "$dir"
    ls screenshot-"$lang"*.png
    ;;
package)
    # The Debian package, its dependencies taken from the libraries the program links.
    (cd "$build" && cpack -G DEB)
    ;;
*)
    echo "usage: $0 run|test|bench [million]|screenshot [en|de]|package|sanitize" >&2
    exit 2
    ;;
esac
