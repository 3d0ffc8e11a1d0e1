#!/usr/bin/env bash
# completion_test.sh SOURCE_DIR - sources vantrelagent's bash completion and calls it as bash
# would: option names, file names after the options that take a file (also names with spaces
# and words without '=' as a word break), modes, and nothing for options of free text.
set -euo pipefail
script=$1/data/vantrelagent.bash
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
mkdir "$folder/files"
cd "$folder/files"
touch 'North wind.mdb' sales.accdb tables.txt
mkdir sub
failures=0

# complete WORDS: calls the function with COMP_WORDS set to WORDS (split at '|', as bash splits
# the line) and the cursor at the end of the last; prints the replies sorted, one per line,
# then "options:" and what compopt was asked for.
complete_words() {
    bash -c '
        compopt() { shift; printf "%s " "$@" >>"$COMPOPT_LOG"; }
        source "$1"
        IFS="|" read -r -a COMP_WORDS <<<"$2"
        COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        _vantrelagent
        if [ ${#COMPREPLY[@]} -gt 0 ]; then printf "%s\n" "${COMPREPLY[@]}" | sort; fi
        printf "options: %s\n" "$(cat "$COMPOPT_LOG" 2>/dev/null)"
    ' _ "$script" "$1"
}
expect() {
    local words=$1 expected=$2 actual
    rm -f "$folder/compopt.log"
    actual=$(COMPOPT_LOG="$folder/compopt.log" complete_words "$words")
    if [ "$actual" != "$expected" ]; then
        printf 'FAIL: completing %s\n  expected: %s\n  actual:   %s\n' \
            "$words" "${expected//$'\n'/|}" "${actual//$'\n'/|}" >&2
        failures=$((failures + 1))
    fi
}

expect 'vantrelagent|--ta' $'--tab_def\n--tab_file=\noptions: '
expect 'vantrelagent|--src|=|x.mdb|--pro' $'--profile=\noptions: nospace '
expect 'vantrelagent|--src|=' \
    $'North wind.mdb\nsales.accdb\nsub\ntables.txt\noptions: filenames '
expect 'vantrelagent|--dest|=|X|--tab_file|=|ta' $'tables.txt\noptions: filenames '
expect 'vantrelagent|--sysdb|=|s' $'sales.accdb\nsub\noptions: filenames '
expect 'vantrelagent|--logfile|=|North\ w' $'North wind.mdb\noptions: filenames '
expect "vantrelagent|--logfile|=|'North w" $'North wind.mdb\noptions: filenames '
expect 'vantrelagent|--profile|=|su' $'sub\noptions: filenames '
expect 'vantrelagent|--mode|=' $'0\n1\n2\n3\noptions: '
expect 'vantrelagent|--mssqlh|=' $'options: '
expect 'vantrelagent|--accp|=|s' $'options: '
# Without '=' among the word breaks the reply replaces the whole word, option and all.
expect 'vantrelagent|--src=sa' $'--src=sales.accdb\noptions: filenames '
expect 'vantrelagent|--mode=2' $'--mode=2\noptions: '
expect 'vantrelagent|--mssqlh=d' $'options: '

registered=$(bash -c 'source "$1"; complete -p vantrelagent' _ "$script")
if [[ $registered != *' _vantrelagent vantrelagent' ]]; then
    echo "FAIL: the function is not registered for vantrelagent" >&2
    failures=$((failures + 1))
fi
[ "$failures" -eq 0 ]
