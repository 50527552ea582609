#!/usr/bin/env bash
# Footprint of the running tray application against a bare Qt tray program, both under one
# Xvfb with one tray: proportional set size, threads and voluntary context switches.
#
#   run-footprint.sh --tovo BIN --bare BIN --service BIN [--alarms N] [--interval S]
#
# tovo polls a demo service that always serves N (1000) alarms. The measurement starts once its
# first fetch is processed and covers the quiet stretch up to the next poll and one whole polling
# interval with its poll. Per-thread wake-ups of the quiet stretch are listed, so whatever wakes
# the program between polls shows by name. --interval sets the polling interval through
# TOVO_POLL_INTERVAL_SECONDS (default: the real 60 s). The last line is
# pss_ratio_vs_bare_tray=<tovo PSS / bare PSS>.
set -euo pipefail

tovo= bare= service= alarms=1000 interval=
while [ $# -gt 0 ]; do
    case "$1" in
        --tovo) tovo=$2; shift 2 ;;
        --bare) bare=$2; shift 2 ;;
        --service) service=$2; shift 2 ;;
        --alarms) alarms=$2; shift 2 ;;
        --interval) interval=$2; shift 2 ;;
        *) echo "run-footprint.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
[ -x "$tovo" ] && [ -x "$bare" ] && [ -x "$service" ] || {
    echo "usage: run-footprint.sh --tovo BIN --bare BIN --service BIN [--alarms N] [--interval S]" >&2
    exit 2
}
period=${interval:-60}
[ "$period" -ge 15 ] || { echo "run-footprint.sh: the interval must be at least 15 s" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
session_script=$here/../../scripts/headless-session.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/tovo-footprint.XXXXXX")
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    exec 3>&- 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

wait_for() { # seconds, description, command...
    local limit=$(($1 * 10)) what=$2 tries=0
    shift 2
    until "$@"; do
        tries=$((tries + 1))
        if [ "$tries" -gt "$limit" ]; then
            echo "run-footprint.sh: timed out waiting for $what" >&2
            cat "$work"/*.log >&2 2>/dev/null || true
            exit 1
        fi
        sleep 0.1
    done
}

# The session lives as long as we hold its standard input open (fd 3).
exec 3> >(exec "$session_script" --env-file "$work/session.env")
wait_for 30 "the headless session" test -s "$work/session.env"
set -a
. "$work/session.env"
set +a

"$service" --timeline fixed --count "$alarms" >"$work/service.log" 2>&1 &
pids+=($!)
wait_for 30 "the demo service" grep -q '^ready$' "$work/service.log"
value() { sed -n "s/^$1=//p" "$work/service.log"; }

mkdir -p "$work/home" "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
run_isolated() {
    env HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
        XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb \
        TOVO_WEB_BASE="$(value TOVO_WEB_BASE)" TOVO_FEED_BASE="$(value TOVO_FEED_BASE)" \
        SSL_CERT_FILE="$(value SSL_CERT_FILE)" \
        ${interval:+TOVO_POLL_INTERVAL_SECONDS=$interval} "$@" </dev/null >>"$work/programs.log" 2>&1 &
    pids+=($!)
}
run_isolated "$bare"
bare_pid=$!
# A token URL on the command line: polling starts at once and no first-run alert is shown.
run_isolated "$tovo" "tovo://$(value TOVO_DEMO_GUID)"
tovo_pid=$!

feeds_at_least() { [ "$(grep -c '^GET /rssalarms' "$work/service.log")" -ge "$1" ]; }
echo "waiting for the first poll (about $period s)..."
wait_for $((period + 60)) "the first feed request" feeds_at_least 1
first_poll=$(date +%s)
sleep 5 # the answer is parsed and the program settles

pss() { awk '/^Pss:/ {print $2}' "/proc/$1/smaps_rollup"; }
threads() { ls "/proc/$1/task" | wc -l; }
switches() { # per thread: tid name voluntary-switches
    local task
    for task in /proc/"$1"/task/*; do
        printf '%s %s %s\n' "${task##*/}" "$(tr ' ' '_' <"$task/comm")" \
            "$(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status")"
    done 2>/dev/null
}
total() { awk '{s += $3} END {print s + 0}'; }
for pid in "$tovo_pid" "$bare_pid"; do
    kill -0 "$pid" 2>/dev/null || { echo "run-footprint.sh: a program died, see its output:" >&2; cat "$work/programs.log" >&2; exit 1; }
done

switches "$tovo_pid" >"$work/tovo.a"
switches "$bare_pid" >"$work/bare.a"
quiet_start=$(date +%s)
sleep $((first_poll + period - 5 - quiet_start))
switches "$tovo_pid" >"$work/tovo.b"
switches "$bare_pid" >"$work/bare.b"
quiet_seconds=$(($(date +%s) - quiet_start))
tovo_pss=$(pss "$tovo_pid") bare_pss=$(pss "$bare_pid")
tovo_threads=$(threads "$tovo_pid") bare_threads=$(threads "$bare_pid")
wait_for 30 "the second feed request" feeds_at_least 2
sleep $((quiet_start + period - $(date +%s)))
switches "$tovo_pid" >"$work/tovo.c"
switches "$bare_pid" >"$work/bare.c"

per_minute() { # switches over seconds -> per minute
    awk -v n="$1" -v s="$2" 'BEGIN {printf "%.1f", (s > 0 ? n * 60 / s : 0)}'
}
delta() { echo $(($(total <"$2") - $(total <"$1"))); }
echo
echo "alarms in the feed: $alarms, polling interval: $period s"
printf '%-10s %10s %8s %22s %26s\n' program "PSS (kB)" threads "quiet wake-ups/min" "wake-ups per poll interval"
printf '%-10s %10s %8s %22s %26s\n' tovo "$tovo_pss" "$tovo_threads" \
    "$(per_minute "$(delta "$work/tovo.a" "$work/tovo.b")" "$quiet_seconds")" \
    "$(delta "$work/tovo.a" "$work/tovo.c")"
printf '%-10s %10s %8s %22s %26s\n' bare-tray "$bare_pss" "$bare_threads" \
    "$(per_minute "$(delta "$work/bare.a" "$work/bare.b")" "$quiet_seconds")" \
    "$(delta "$work/bare.a" "$work/bare.c")"
echo
echo "tovo threads woken between polls ($quiet_seconds s; name: wake-ups):"
join <(sort "$work/tovo.a") <(sort "$work/tovo.b") |
    awk '$5 - $3 > 0 {printf "  %s: %d\n", $2, $5 - $3; woken = 1} END {if (!woken) print "  none"}'
echo "tovo threads over one polling interval with its poll:"
join <(sort "$work/tovo.a") <(sort "$work/tovo.c") |
    awk '$5 - $3 > 0 {printf "  %s: %d\n", $2, $5 - $3}'
echo "largest parts of tovo's PSS (kB):"
awk '/^[0-9a-f]+-[0-9a-f]+ / {name = $6 == "" ? "[anonymous]" : $6}
     /^Pss:/ {pss[name] += $2}
     END {for (n in pss) if (pss[n] >= 300) printf "  %6d %s\n", pss[n], n}' \
    "/proc/$tovo_pid/smaps" | sort -rn
awk -v t="$tovo_pss" -v b="$bare_pss" 'BEGIN {printf "pss_ratio_vs_bare_tray=%.3f\n", t / b}'
