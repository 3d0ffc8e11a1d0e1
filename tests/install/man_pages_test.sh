#!/usr/bin/env bash
# man_pages_test.sh SOURCE_DIR BUILD_DIR VERSION - the manual pages render without a warning
# (groff -ww, man -l), name the project's version, and document every option each program
# prints in its own help or usage text, so a new option cannot go unmentioned.
set -euo pipefail
source_dir=$1 build=$2 version=$3
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

for page in "$source_dir"/man/*.1; do
    warnings=$(groff -ww -man -z "$page" 2>&1)
    [ -z "$warnings" ] || fail "groff on $(basename "$page"): $warnings"
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man -l on $(basename "$page"): $warnings"
    grep -q "^\.TH .* \"Vantrel $version\"" "$page" ||
        fail "$(basename "$page") is not of version $version"
done

# Option names as a program prints them: --name= or --name.
options_of() { grep -o -- '--[a-z_-]*=\?' | sort -u; }
# Every option of the program's text must stand in its page (roff writes '-' as '\-').
check_options() {
    local page=$1 options=$2 option text
    [ -n "$options" ] || { fail "no options read for $(basename "$page")"; return; }
    text=$(sed 's/\\-/-/g' "$page")
    for option in $options; do
        grep -qF -- "$option" <<<"$text" || fail "$(basename "$page") lacks $option"
    done
}
check_options "$source_dir/man/vantrelagent.1" \
    "$("$build/vantrelagent" --help 2>&1 | options_of)"
check_options "$source_dir/man/vantreldump.1" "$("$build/vantreldump" 2>&1 | options_of)"
check_options "$source_dir/man/mssql-double.1" "$("$build/mssql-double" 2>&1 | options_of)"
[ "$failures" -eq 0 ]
