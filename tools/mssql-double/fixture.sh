#!/bin/sh
# fixture.sh start|stop DOUBLE STATE_DIR PORT_FILE [OPTION...] - starts mssql-double in the
# background on a free port with the test login sa:Secret1 and a fresh data directory, waits
# for its "listening on PORT" line and writes PORT to PORT_FILE; stop sends it SIGTERM.
# OPTIONs, then the words of $VANTREL_DOUBLE_ARGS, go to the double as they are, so a second
# fixture can start one claiming another release: --product-version=2008.
set -eu
action=$1 double=$2 state=$3 port_file=$4
shift 4
case "$action" in
start)
    if [ -f "$state/pid" ] && kill -0 "$(cat "$state/pid")" 2>/dev/null; then
        kill -TERM "$(cat "$state/pid")" || true
        sleep 0.3
    fi
    rm -rf "$state" "$port_file"
    mkdir -p "$state/data"
    # Word splitting of VANTREL_DOUBLE_ARGS is wanted: it holds options, not one path.
    # shellcheck disable=SC2086
    "$double" --port=0 --login=sa:Secret1 --data-dir="$state/data" "$@" \
        ${VANTREL_DOUBLE_ARGS:-} >"$state/stdout" 2>"$state/stderr" &
    echo $! >"$state/pid"
    tries=0
    while ! grep -q '^listening on ' "$state/stdout" 2>/dev/null; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ] || ! kill -0 "$(cat "$state/pid")" 2>/dev/null; then
            echo "mssql-double did not start:" >&2
            cat "$state/stderr" >&2
            exit 1
        fi
        sleep 0.1
    done
    sed -n 's/^listening on \([0-9]*\)$/\1/p' "$state/stdout" >"$port_file"
    echo "mssql-double listening on $(cat "$port_file")"
    ;;
stop)
    if [ -f "$state/pid" ]; then
        kill -TERM "$(cat "$state/pid")" 2>/dev/null || true
        rm -f "$state/pid"
    fi
    rm -f "$port_file"
    ;;
*)
    echo "usage: fixture.sh start|stop DOUBLE STATE_DIR PORT_FILE [OPTION...]" >&2
    exit 2
    ;;
esac
