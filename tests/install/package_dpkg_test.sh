#!/usr/bin/env bash
# package_dpkg_test.sh DEB_DIR SOURCE_DIR TESTDATA_DIR - installs the .deb the fixture built
# with dpkg -i, converts the shared Northwind sample with the installed programs, removes the
# package with dpkg -r (also when a step fails) and checks nothing of it is left.
# Needs root; skipped (77) without, or when a vantrel package is installed already.
set -euo pipefail
deb_dir=$1 source_dir=$2 testdata=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
if [ "$(id -u)" -ne 0 ]; then
    echo "not root: dpkg -i skipped"
    exit 77
fi
if dpkg-query -W -f='${Status}' vantrel 2>/dev/null | grep -q 'ok installed'; then
    echo "a vantrel package is installed on this machine already; left alone"
    exit 77
fi
debs=("$deb_dir"/vantrel_*.deb)
deb=${debs[0]}

installed=0
remove_package() {
    if [ "$installed" -eq 1 ]; then dpkg -r vantrel >/dev/null; fi
}
trap remove_package EXIT
installed=1
dpkg -i "$deb" >/dev/null || fail "dpkg -i $deb"
dpkg-query -W -f='${Status}' vantrel | grep -q 'ok installed' || fail "not installed"
[ -x /usr/bin/vantrelagent ] || fail "no /usr/bin/vantrelagent"
[ "$(man -M /usr/share/man -w vantrelagent)" = /usr/share/man/man1/vantrelagent.1.gz ] ||
    fail "man does not find vantrelagent(1)"

status=0
(cd / && "$source_dir/tests/install/convert_northwind.sh" /usr/bin "$source_dir" "$testdata") ||
    status=$?
[ "$status" -eq 0 ] || [ "$status" -eq 77 ] || fail "the installed programs did not convert"

installed=0
dpkg -r vantrel >/dev/null || fail "dpkg -r vantrel"
dpkg-query -W -f='${Status}' vantrel 2>/dev/null | grep -q 'ok installed' && fail "still installed"
left=""
while read -r path; do
    [ -e "$path" ] && left+=" $path"
done < <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 2) }')
[ -z "$left" ] || fail "left after dpkg -r:$left"
echo "installed, used and removed $(basename "$deb") cleanly"
