#!/usr/bin/env bash
# The token store under kill -9: a writer stores tokens 1, 2, ... through the real store
# classes and is killed at a random moment of its run, again and again, until WRITES tokens have
# been stored. After every kill the store must open normally and hold the token the writer last
# reported as stored or the one it was writing, never anything else.
#
#   run-durability.sh --writer BIN [--writes N] [--max-delay-ms MS]
#
# Each kill comes a random 0 to MS (default 100) milliseconds after the writer has opened the store,
# that is among its writes (one takes about 10 ms, most of it in fsync). The last line is durability: writes=<N> kills=<kills> torn=<files neither old nor new>;
# the exit status is non-zero when any file was torn or unreadable or a writer failed by itself.
set -euo pipefail

writer= writes=1000 max_delay_ms=100
while [ $# -gt 0 ]; do
    case "$1" in
        --writer) writer=$2; shift 2 ;;
        --writes) writes=$2; shift 2 ;;
        --max-delay-ms) max_delay_ms=$2; shift 2 ;;
        *) echo "run-durability.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
[ -x "$writer" ] || { echo "usage: run-durability.sh --writer BIN [--writes N] [--max-delay-ms MS]" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tovo-durability.XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" HOME="$work/home"
mkdir -p "$HOME"
folder=$XDG_CONFIG_HOME/tovo
file=$folder/tovo.TOVO.conf

mkfifo "$work/out"
stored=0 kills=0 torn=0 failed=0 runs=0 idle_kills=0
started=$(date +%s%N)
while [ "$stored" -lt "$writes" ]; do
    runs=$((runs + 1))
    "$writer" write "$writes" >"$work/out" 2>"$work/err" &
    pid=$!
    exec 3<"$work/out"
    # The writer's first line says it has opened the store: the kill falls among its writes.
    if read -r _ <&3; then
        delay_ms=$((RANDOM % (max_delay_ms + 1)))
        sleep "$((delay_ms / 1000)).$(printf '%03d' $((delay_ms % 1000)))"
    fi
    killed=0
    kill -9 "$pid" 2>/dev/null && killed=1
    status=0
    wait "$pid" 2>/dev/null || status=$?
    reported=$(tail -n 1 <&3)
    exec 3<&-
    reported=${reported:-$stored}
    if [ "$killed" = 1 ] && [ "$status" = 137 ]; then
        kills=$((kills + 1))
        [ "$reported" = "$stored" ] && idle_kills=$((idle_kills + 1))
    elif [ "$status" != 0 ]; then
        failed=$((failed + 1))
        echo "run $runs: the writer failed by itself (status $status): $(cat "$work/err")" >&2
    fi

    # The store opens normally, on the token last reported or the one being written.
    if now=$(timeout 30 "$writer" read 2>"$work/err") &&
        { [ "$now" = "$reported" ] || [ "$now" = $((reported + 1)) ]; }; then
        stored=$now
    else
        torn=$((torn + 1))
        echo "run $runs: after token $reported the store read '${now:-}' $(cat "$work/err")" >&2
        # Carry on from what the writer will find, unless it cannot even start on it.
        if [ -n "${now:-}" ]; then stored=$now; else break; fi
    fi
done
elapsed_ms=$((($(date +%s%N) - started) / 1000000))

mode() { stat -c %a "$1" 2>/dev/null || echo missing; }
stray=$(find "$folder" -mindepth 1 ! -name "$(basename "$file")" | wc -l)
echo "tokens stored: $stored in $runs runs, $kills killed ($idle_kills before the first write of their run finished)"
echo "writer runs failing by themselves: $failed"
echo "file mode: $(mode "$file"), folder mode: $(mode "$folder"), stray files left in the folder: $stray"
echo "elapsed: $((elapsed_ms / 1000)).$(printf '%03d' $((elapsed_ms % 1000))) s"
echo "durability: writes=$stored kills=$kills torn=$torn"
[ "$torn" = 0 ] && [ "$failed" = 0 ] && [ "$stored" -ge "$writes" ]
