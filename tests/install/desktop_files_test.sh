#!/usr/bin/env bash
# desktop_files_test.sh SOURCE_DIR VERSION - the wizard's desktop entry, AppStream metadata and
# icon pass their validators and name each other: the metadata launches the desktop entry,
# the entry shows the icon, and the metadata's release is the project's version.
set -euo pipefail
data=$1/data version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop-file-validate "$data/vantrelwiz.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --pedantic "$data/org.vantrel.vantrelwiz.metainfo.xml" ||
    fail "appstreamcli validate"
xmllint --noout "$data/vantrelwiz.svg" || fail "the icon is no well-formed SVG"

grep -qx 'Exec=vantrelwiz' "$data/vantrelwiz.desktop" || fail "Exec is not vantrelwiz"
grep -qx 'Icon=vantrelwiz' "$data/vantrelwiz.desktop" || fail "Icon is not vantrelwiz"
grep -qF '<launchable type="desktop-id">vantrelwiz.desktop</launchable>' \
    "$data/org.vantrel.vantrelwiz.metainfo.xml" || fail "metadata launches another entry"
grep -qF "<release version=\"$version\"" "$data/org.vantrel.vantrelwiz.metainfo.xml" ||
    fail "metadata names no release $version"
