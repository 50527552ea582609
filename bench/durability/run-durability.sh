#!/usr/bin/env bash
# The token store under kill -9: a writer stores tokens 1, 2, ... through the real store
# classes and is killed at a random moment of its run, again and again, until WRITES tokens have
# been stored. After every kill the store must open normally and hold the token the writer last
# reported as stored or the one it was writing, never anything else.
#
#   run-durability.sh --writer BIN [--writes N] [--max-delay-ms MS]
#
# Each kill comes a random 0 to MS milliseconds after the writer has opened the store, that is
# among its writes. By default MS is what a run's first six writes take (measured first, in a
# store of its own), so that a run is killed after about three writes however fast the disk is.
# The last line is durability: writes=<N> kills=<kills> torn=<files neither old nor new>; the exit
# status is non-zero when any file was torn or unreadable or a writer failed by itself.
set -euo pipefail

writer='' writes=1000 max_delay_ms=''
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

# How long a run takes for its first six writes: a run that writes nothing against one that
# writes six, each in a store of its own.
run_us() {
    local started
    started=$(date +%s%N)
    XDG_CONFIG_HOME="$work/calibration-$1" "$writer" write "$1" >/dev/null
    echo $((($(date +%s%N) - started) / 1000))
}
run_us 0 >/dev/null # once before timing, so that the program's files are cached
six_writes_us=$(($(run_us 6) - $(run_us 0)))
max_delay_ms=${max_delay_ms:-$((six_writes_us > 1000 ? six_writes_us / 1000 : 1))}

mkfifo "$work/out"
stored=0 kills=0 torn=0 failed=0 runs=0 first_write_kills=0 longest_stall_ms=0
started=$(date +%s%N)
progressed=$started
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
        [ "$reported" = "$stored" ] && first_write_kills=$((first_write_kills + 1))
    elif [ "$status" != 0 ]; then
        failed=$((failed + 1))
        echo "run $runs: the writer failed by itself (status $status): $(cat "$work/err")" >&2
    fi

    # The store opens normally, on the token last reported or the one being written.
    if now=$(timeout 30 "$writer" read 2>"$work/err") &&
        { [ "$now" = "$reported" ] || [ "$now" = $((reported + 1)) ]; }; then
        if [ "$now" != "$stored" ]; then
            stall_ms=$((($(date +%s%N) - progressed) / 1000000))
            [ "$stall_ms" -gt "$longest_stall_ms" ] && longest_stall_ms=$stall_ms
            progressed=$(date +%s%N)
        fi
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
stray=$(find "$folder" -mindepth 1 ! -name "$(basename "$file")" -printf ' %f')
echo "a run's first six writes: about $((six_writes_us / 1000)) ms; kills 0 to $max_delay_ms ms after the writer opened the store"
echo "tokens stored: $stored in $runs runs, $kills killed ($first_write_kills of them in the first write of their run)"
echo "longest time without a new token stored: $longest_stall_ms ms"
echo "writer runs failing by themselves: $failed"
echo "file mode: $(mode "$file"), folder mode: $(mode "$folder"), stray files left in the folder: $(wc -w <<<"$stray")$stray"
echo "elapsed: $((elapsed_ms / 1000)).$(printf '%03d' $((elapsed_ms % 1000))) s"
echo "durability: writes=$stored kills=$kills torn=$torn"
[ "$torn" = 0 ] && [ "$failed" = 0 ] && [ "$stored" -ge "$writes" ]
