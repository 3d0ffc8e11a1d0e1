#!/usr/bin/env bash
# completion_test.sh SOURCE_DIR - sources vantrelagent's bash completion and calls it as bash
# would: option names, file names after the options that take a file (also with spaces, and
# with '=' not a word break), modes, and nothing for options that take free text.
set -euo pipefail
script=$1/data/vantrelagent.bash
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir "$folder/files"
cd "$folder/files"
touch 'North wind.mdb' sales.accdb tables.txt
mkdir sub
failures=0

# complete LINE WORD... : the replies for LINE with the cursor at its end, one per line,
# sorted, then "options:" and what compopt was asked for.
complete_line() {
    bash -c '
        compopt() { shift; printf "%s " "$@" >>"$COMPOPT_LOG"; }
        source "$1"
        COMP_WORDBREAKS=${2:-$COMP_WORDBREAKS}
        COMP_LINE=$3 COMP_POINT=${#3}
        _vantrelagent
        if [ ${#COMPREPLY[@]} -gt 0 ]; then printf "%s\n" "${COMPREPLY[@]}" | sort; fi
        printf "options: %s\n" "$(cat "$COMPOPT_LOG" 2>/dev/null)"
    ' _ "$script" "${2:-}" "$1"
}
expect() {
    local line=$1 breaks=$2 expected=$3 actual
    rm -f "$folder/compopt.log"
    actual=$(COMPOPT_LOG="$folder/compopt.log" complete_line "$line" "$breaks")
    if [ "$actual" != "$expected" ]; then
        printf 'FAIL: completing "%s"\n  expected: %s\n  actual:   %s\n' \
            "$line" "${expected//$'\n'/|}" "${actual//$'\n'/|}" >&2
        failures=$((failures + 1))
    fi
}

expect 'vantrelagent --ta' '' $'--tab_def\n--tab_file=\noptions: '
expect 'vantrelagent --src=x.mdb --pro' '' $'--profile=\noptions: nospace '
expect 'vantrelagent --src=' '' $'North wind.mdb\nsales.accdb\nsub\ntables.txt\noptions: filenames '
expect 'vantrelagent --dest=X --tab_file=ta' '' $'tables.txt\noptions: filenames '
expect 'vantrelagent --sysdb=s' '' $'sales.accdb\nsub\noptions: filenames '
expect 'vantrelagent --logfile=N' '' $'North wind.mdb\noptions: filenames '
expect 'vantrelagent --profile=su' '' $'sub\noptions: filenames '
expect 'vantrelagent --mode=' '' $'0\n1\n2\n3\noptions: '
expect 'vantrelagent --mssqlh=' '' $'options: '
# Without '=' among the word breaks the reply replaces the whole word, option and all.
expect 'vantrelagent --src=sa' $' \t\n' $'--src=sales.accdb\noptions: filenames '
expect 'vantrelagent --mode=2' $' \t\n' $'--mode=2\noptions: '
bash -c 'source "$1"; complete -p vantrelagent' _ "$script" | grep -q ' _vantrelagent vantrelagent$' ||
    { echo "FAIL: the function is not registered for vantrelagent" >&2; failures=$((failures + 1)); }
[ "$failures" -eq 0 ]
