#!/usr/bin/env bash
# Makes the Debian package of the build into a temporary folder and has lintian check it against
# Debian's policy: any error or warning fails. Skipped (77) where the tools are missing.
#   package_lintian.sh CPACK BUILD_DIR
set -u
cpack=$1
build=$2
for tool in lintian dpkg-deb dpkg-shlibdeps; do
    if ! command -v "$tool" >/dev/null; then
        echo "not checked: $tool is missing (bash tools/quorvel.sh test installs it)"
        exit 77
    fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! out=$("$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work" 2>&1); then
    echo "FAIL cpack: $out"
    exit 1
fi
deb=$(find "$work" -maxdepth 1 -name 'quorvel_*.deb')
[ -n "$deb" ] || { echo "FAIL no package: $out"; exit 1; }
# Info tags are advice, errors and warnings break policy; of the info tags only the hardening the
# program is built with counts (checked buffer functions, the relocations bound at start).
report=$(lintian --display-info --tag-display-limit 0 "$deb" 2>&1)
echo "$report"
if grep -Eq '^[EW]: |^I: .*hardening-' <<<"$report"; then
    echo "FAIL lintian found errors, warnings or missing hardening in $(basename "$deb")"
    exit 1
fi

# The hardening in the packaged program itself, each with what shows it in the ELF file.
dpkg-deb -x "$deb" "$work/root"
elf=$(readelf --program-headers --dynamic --dyn-syms --wide "$work/root/usr/bin/quorvel" 2>&1)
failures=0
while read -r flag evidence; do
    grep -Eq "$evidence" <<<"$elf" || { echo "FAIL packaged program lacks $flag"; failures=1; }
done <<'CHECKS'
-fstack-protector-strong __stack_chk_fail
-D_FORTIFY_SOURCE=2 __[a-z]+_chk
-z,relro GNU_RELRO
-z,now BIND_NOW
CHECKS
if readelf --sections --wide "$work/root/usr/bin/quorvel" | grep -q '\.debug_info\|\.symtab'; then
    echo "FAIL packaged program keeps its symbols"
    failures=1
fi
[ $failures -eq 0 ] || exit 1
echo "lintian: no errors or warnings in $(basename "$deb"); the program is hardened and stripped"
