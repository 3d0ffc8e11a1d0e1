#!/usr/bin/env bash
# desktop_files_test.sh SOURCE_DIR VERSION - the wizard's desktop entry and AppStream metadata
# pass their validators and name each other: the metadata launches the desktop entry, the
# entry shows the wizard's own icon, and the metadata's release is the project's version.
set -euo pipefail
data=$1/data version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop-file-validate "$data/vantrelwiz.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$data/org.vantrel.vantrelwiz.metainfo.xml" ||
    fail "appstreamcli validate"
# The entry's icon is the program's own, installed as a 64x64 hicolor icon.
# PNG: width and height are big-endian words at bytes 16 and 20.
[ "$(od -An -tx1 -j16 -N8 "$1/src/wiz/art/icon.png" | tr -d ' \n')" = 0000004000000040 ] ||
    fail "the wizard's icon is no 64x64 PNG"

grep -qx 'Exec=vantrelwiz' "$data/vantrelwiz.desktop" || fail "Exec is not vantrelwiz"
grep -qx 'Icon=vantrelwiz' "$data/vantrelwiz.desktop" || fail "Icon is not vantrelwiz"
grep -qF '<launchable type="desktop-id">vantrelwiz.desktop</launchable>' \
    "$data/org.vantrel.vantrelwiz.metainfo.xml" || fail "metadata launches another entry"
grep -qF "<release version=\"$version\"" "$data/org.vantrel.vantrelwiz.metainfo.xml" ||
    fail "metadata names no release $version"
