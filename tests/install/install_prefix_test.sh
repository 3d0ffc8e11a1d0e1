#!/usr/bin/env bash
# install_prefix_test.sh PREFIX BUILD_DIR - checks what `cmake --install` put into PREFIX (the
# fixture installs there) and runs the installed programs from there: their help and usage.
set -euo pipefail
prefix=$1 build=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

expected=(
    bin/vantrelagent bin/vantreldump bin/mssql-double
    share/man/man1/vantrelagent.1.gz share/man/man1/vantreldump.1.gz
    share/man/man1/mssql-double.1.gz
    share/doc/vantrel/README.md share/doc/vantrel/LICENSE share/doc/vantrel/copyright
    share/bash-completion/completions/vantrelagent
)
if [ -e "$build/vantrelwiz" ]; then
    expected+=(bin/vantrelwiz share/man/man1/vantrelwiz.1.gz
               share/applications/vantrelwiz.desktop
               share/icons/hicolor/64x64/apps/vantrelwiz.png
               share/vantrel/vantrelwiz.help/index.html
               share/metainfo/org.vantrel.vantrelwiz.metainfo.xml)
fi
for file in "${expected[@]}"; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
for program in vantrelagent vantreldump mssql-double; do
    [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done
# Nothing of the build or the test suite comes along.
unexpected=$(cd "$prefix" && find . -type f | grep -E 'test|gtest|\.a$|\.o$|\.h(pp)?$' || true)
[ -z "$unexpected" ] || fail "installed beyond the programs: $unexpected"

# The installed manual pages open with man.
[[ $(MANPATH="$prefix/share/man" man -w vantrelagent) == "$prefix/share/man/"* ]] ||
    fail "man does not find vantrelagent(1) under the prefix"

output=$(mktemp)
trap 'rm -f "$output"' EXIT
status=0
"$prefix/bin/vantrelagent" --help >/dev/null 2>"$output" || status=$?
[ "$status" -eq 255 ] || fail "vantrelagent --help ended with $status, not 255"
grep -q '^Usage: VANTRELAGENT.EXE OPTIONS' "$output" || fail "vantrelagent printed no help text"
status=0
"$prefix/bin/vantreldump" 2>"$output" || status=$?
[ "$status" -eq 1 ] && grep -q '^usage: vantreldump FILE' "$output" ||
    fail "vantreldump without a file: status $status, no usage"
status=0
"$prefix/bin/mssql-double" 2>"$output" || status=$?
[ "$status" -eq 2 ] && grep -q '^usage: mssql-double --port=N' "$output" ||
    fail "mssql-double without options: status $status, no usage"
echo "installed layout and programs in $prefix are complete"
