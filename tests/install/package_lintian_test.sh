#!/usr/bin/env bash
# package_lintian_test.sh DEB_DIR - runs lintian over the .deb the fixture built; any error
# fails, warnings are printed for the reader.
set -euo pipefail
deb_dir=$1
debs=("$deb_dir"/vantrel_*.deb)
report=$(lintian --allow-root --tag-display-limit 0 "${debs[0]}" 2>&1) || true
printf '%s\n' "$report"
if grep -q '^E: ' <<<"$report"; then
    echo "FAIL: lintian reports errors" >&2
    exit 1
fi
# lintian itself failing (no package, a crash) prints no tag lines but a message of its own.
if grep -qv '^[EWIPNO]: \|^$' <<<"$report"; then
    echo "FAIL: lintian did not run cleanly" >&2
    exit 1
fi
