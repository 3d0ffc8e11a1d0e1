#!/usr/bin/env bash
# convert_northwind.sh BIN_DIR SOURCE_DIR TESTDATA_DIR - runs the programs of one installation
# (BIN_DIR) together: starts its mssql-double, converts the shared Northwind sample into it
# with its vantrelagent, and checks that every table's row count on the server equals the one
# its vantreldump reads from the file. Exits 77 (skipped) without the shared test data, or
# fails where VANTREL_REQUIRE_TESTDATA=1 (CI).
set -euo pipefail
bin=$1 source_dir=$2 testdata=$3
northwind="$testdata/npsmith88-NorthwindDatabaseQueryTool/Northwind.mdb"
if [ ! -f "$northwind" ]; then
    if [ "${VANTREL_REQUIRE_TESTDATA:-}" = 1 ]; then
        echo "shared test data missing with VANTREL_REQUIRE_TESTDATA=1: $northwind" >&2
        exit 1
    fi
    echo "no shared test data at $testdata: conversion skipped"
    exit 77
fi

scratch=$(mktemp -d)
fixture="$source_dir/tools/mssql-double/fixture.sh"
finish() {
    "$fixture" stop "$bin/mssql-double" "$scratch/double" "$scratch/port" || true
    rm -rf "$scratch"
}
trap finish EXIT
# The double's fixed test login (fixture.sh).
"$fixture" start "$bin/mssql-double" "$scratch/double" "$scratch/port"
port=$(cat "$scratch/port")

status=0
"$bin/vantrelagent" --src="$northwind" --dest=Northwind --mssqlh="127.0.0.1,$port" \
    --mssqlu=sa --mssqlp=Secret1 --logfile="$scratch/agent.log" >"$scratch/agent.out" || status=$?
if [ "$status" -ne 0 ]; then
    echo "vantrelagent ended with $status:" >&2
    cat "$scratch/agent.out" >&2
    exit 1
fi

printf '[global]\n\ttds version = 7.4\n\tclient charset = UTF-8\n' >"$scratch/freetds.conf"
server_count() {
    printf 'USE [Northwind]\ngo\nSELECT COUNT(*) FROM [%s]\ngo\n' "${1//]/]]}" |
        FREETDSCONF="$scratch/freetds.conf" tsql -H 127.0.0.1 -p "$port" -U sa -P Secret1 -o fhq |
        tr -d '[:space:]'
}
"$bin/vantreldump" "$northwind" --counts >"$scratch/counts"
tables=0
while IFS= read -r line; do
    table=${line%$'\t'*} expected=${line##*$'\t'}
    actual=$(server_count "$table")
    if [ "$actual" != "$expected" ]; then
        echo "table $table: $expected rows in the file, '$actual' on the server" >&2
        exit 1
    fi
    tables=$((tables + 1))
done <"$scratch/counts"
if [ "$tables" -eq 0 ]; then
    echo "vantreldump --counts listed no table" >&2
    exit 1
fi
echo "converted $tables tables of Northwind with the programs in $bin"
