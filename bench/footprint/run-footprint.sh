#!/usr/bin/env bash
# Footprint of the tray application against a bare Qt tray program, each measured alone in a
# headless session of its own (Xvfb, trayer, dunst, a private bus), one after the other.
#
#   run-footprint.sh --tovo BIN --bare BIN --service BIN --pss BIN
#                    [--runs N] [--alarms N] [--peak-alarms N] [--interval S] [--keep DIR]
#
# --service is tovo-bench-feed-service, --pss tovo-bench-session-pss. tovo polls a feed of
# --alarms (1000) alarms over TLS. As root, the service's CA goes into the system store for the
# run (update-ca-certificates, undone at the end), so tovo finds it as a user's program would;
# otherwise it is handed over in SSL_CERT_FILE. Each run measures:
#   - memory once tovo's first poll is 15 s old (about 75 s after its start), the bare tray 45 s
#     after its start: PSS and USS counted within the session (tovo-bench-session-pss: pages
#     shared with programs outside the session, such as other users' on a shared machine, are not
#     divided by them), RSS, the kernel's own PSS (smaps_rollup) for comparison, threads;
#   - wake-ups (voluntary context switches of all threads) in the next 30 quiet seconds, and
#     over one whole polling interval with its poll, together with the requests it made;
#   - the peak resident size (VmHWM, reset just before) across a poll of a --peak-alarms (10000)
#     alarm feed, against the resident size just before it.
# --interval sets the polling interval (default the real 60 s; at least 40). --keep DIR keeps
# each run's smaps and logs. It prints every run, the medians with their ranges, the largest parts
# of both programs' PSS by mapping and, as the last line, pss_ratio_vs_bare_tray=<ratio> of the
# median PSS.
set -euo pipefail

tovo= bare= service= pss_tool= runs=3 alarms=1000 peak_alarms=10000 interval=60 keep=
while [ $# -gt 0 ]; do
    case "$1" in
        --tovo) tovo=$2; shift 2 ;;
        --bare) bare=$2; shift 2 ;;
        --service) service=$2; shift 2 ;;
        --pss) pss_tool=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        --alarms) alarms=$2; shift 2 ;;
        --peak-alarms) peak_alarms=$2; shift 2 ;;
        --interval) interval=$2; shift 2 ;;
        --keep) keep=$2; shift 2 ;;
        *) echo "run-footprint.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
[ -x "$tovo" ] && [ -x "$bare" ] && [ -x "$service" ] && [ -x "$pss_tool" ] || {
    echo "usage: run-footprint.sh --tovo BIN --bare BIN --service BIN --pss BIN [--runs N]" \
        "[--alarms N] [--peak-alarms N] [--interval S] [--keep DIR]" >&2
    exit 2
}
[ "$interval" -ge 40 ] || { echo "run-footprint.sh: the interval must be at least 40 s" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
session_script=$here/../../scripts/headless-session.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/tovo-footprint.XXXXXX")
system_ca=
pids=() service_pid= session_pid=
# The programs first, then the service (the end of its input lets it remove its certificates),
# then the session (the end of its input).
stop_all() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    pids=()
    exec 4>&- 2>/dev/null || true
    [ -z "$service_pid" ] || wait "$service_pid" 2>/dev/null || true
    exec 3>&- 2>/dev/null || true
    [ -z "$session_pid" ] || wait "$session_pid" 2>/dev/null || true
    service_pid= session_pid=
}
cleanup() {
    stop_all
    if [ -n "$system_ca" ]; then
        rm -f "$system_ca"
        update-ca-certificates >/dev/null 2>&1 || true
    fi
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
            cat "$work"/run/*.log >&2 2>/dev/null || true
            exit 1
        fi
        sleep 0.1
    done
}
sleep_until() { # epoch seconds
    local left=$(($1 - $(date +%s)))
    [ "$left" -le 0 ] || sleep "$left"
}

# A session of its own; its processes are the session script's descendants.
start_session() {
    rm -f "$work/run/session.env"
    exec 3> >(exec "$session_script" --env-file "$work/run/session.env")
    session_pid=$!
    wait_for 60 "the headless session" test -s "$work/run/session.env"
    set -a
    . "$work/run/session.env"
    set +a
}
descendants() {
    ps -eo pid=,ppid= | awk -v root="$1" '
        {parent[$1] = $2}
        END {
            found[root] = 1
            do {
                added = 0
                for (p in parent) if (!(p in found) && (parent[p] in found)) {found[p] = 1; added = 1}
            } while (added)
            for (p in found) if (p != root) print p
        }'
}

mkdir -p "$work/home" "$work/config" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
run_isolated() { # log, program...
    local log=$1
    shift
    env HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
        XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb "$@" </dev/null >>"$log" 2>&1 &
    pids+=($!)
}

switches() { # pid -> lines: tid name voluntary-switches
    local task
    for task in /proc/"$1"/task/*; do
        printf '%s %s %s\n' "${task##*/}" "$(tr ' ' '_' <"$task/comm")" \
            "$(awk '/^voluntary_ctxt_switches/ {print $2}' "$task/status")"
    done 2>/dev/null
}
total() { awk '{s += $3} END {print s + 0}' "$1"; }
woken() { # before after -> "name: n" per thread that woke
    join <(sort "$1") <(sort "$2") |
        awk '$5 - $3 > 0 {printf " %s:%d", $2, $5 - $3; any = 1} END {if (!any) printf " none"}'
}
status_kb() { awk -v key="$2:" '$1 == key {print $2}' "/proc/$1/status"; }

# Memory of `pid` within its session -> the run's record (key=value) and its mappings.
measure_memory() { # pid, name
    local pid=$1 name=$2 out=$work/run/$2
    "$pss_tool" "$pid" $(descendants "$session_pid") >"$out.pss"
    {
        sed -n 's/^\(pss_kb\|uss_kb\|rss_kb\)=/\1=/p' "$out.pss"
        echo "kernel_pss_kb=$(awk '/^Pss:/ {print $2}' "/proc/$pid/smaps_rollup")"
        echo "threads=$(ls "/proc/$pid/task" | wc -l)"
    } >>"$out.record"
    grep -v = "$out.pss" >"$out.mappings"
    [ -z "$keep" ] || cp "/proc/$pid/smaps" "$keep/$name.smaps"
}

measure_bare() { # run
    start_session
    run_isolated "$work/run/programs.log" "$bare"
    local pid=$! started
    started=$(date +%s)
    sleep_until $((started + 15))
    switches "$pid" >"$work/run/bare.a"
    sleep_until $((started + 45))
    switches "$pid" >"$work/run/bare.b"
    measure_memory "$pid" bare
    echo "wakeups_30s=$(($(total "$work/run/bare.b") - $(total "$work/run/bare.a")))" >>"$work/run/bare.record"
    echo "woken=$(woken "$work/run/bare.a" "$work/run/bare.b")" >>"$work/run/bare.record"
    stop_all
}

measure_tovo() { # run
    start_session
    local log=$work/run/service.log
    exec 4> >(exec "$service" "$alarms" >"$log" 2>&1)
    service_pid=$!
    wait_for 60 "the feed service" grep -q '^ready$' "$log"
    value() { sed -n "s/^$1=//p" "$log"; }
    local trust=(SSL_CERT_FILE="$(value CA_FILE)")
    if [ "$(id -u)" -eq 0 ] && command -v update-ca-certificates >/dev/null; then
        system_ca=/usr/local/share/ca-certificates/tovo-footprint-$$.crt
        cp "$(value CA_FILE)" "$system_ca"
        update-ca-certificates >/dev/null 2>&1
        trust=()
    fi
    # By name, so that tovo resolves it as it would the service's.
    local base
    base=$(value TOVO_FEED_BASE | sed 's/127\.0\.0\.1/localhost/')
    # A token URL on the command line: polling starts at once and no first-run alert is shown.
    run_isolated "$work/run/programs.log" "${trust[@]}" \
        TOVO_FEED_BASE="$base" TOVO_WEB_BASE="$base" \
        TOVO_POLL_INTERVAL_SECONDS="$interval" "$tovo" "tovo://$(value GUID)"
    local pid=$!
    requests() { grep -c '^GET /rssalarms' "$log" || true; }
    at_least() { [ "$(requests)" -ge "$1" ]; }
    wait_for $((interval + 60)) "the first feed request" at_least 1
    local first
    first=$(date +%s)
    grep -q "^GET /rssalarms.* -> 200, $alarms items" "$log" || {
        echo "run-footprint.sh: the first poll failed:" >&2
        cat "$log" "$work/run/programs.log" >&2
        exit 1
    }
    sleep_until $((first + 15))
    kill -0 "$pid" 2>/dev/null || { cat "$work/run/programs.log" >&2; exit 1; }
    measure_memory "$pid" tovo
    switches "$pid" >"$work/run/tovo.a"
    local before
    before=$(requests)
    sleep_until $((first + 45))
    switches "$pid" >"$work/run/tovo.b"
    sleep_until $((first + 15 + interval))
    switches "$pid" >"$work/run/tovo.c"
    {
        echo "wakeups_30s=$(($(total "$work/run/tovo.b") - $(total "$work/run/tovo.a")))"
        echo "woken=$(woken "$work/run/tovo.a" "$work/run/tovo.b")"
        echo "wakeups_interval=$(($(total "$work/run/tovo.c") - $(total "$work/run/tovo.a")))"
        echo "requests_interval=$(($(requests) - before))"
        echo "woken_interval=$(woken "$work/run/tovo.a" "$work/run/tovo.c")"
    } >>"$work/run/tovo.record"

    # The next poll brings the large feed.
    echo "$peak_alarms" >&4
    wait_for 10 "the feed service to switch" grep -q "^count=$peak_alarms$" "$log"
    before=$(requests)
    echo 5 >"/proc/$pid/clear_refs" # resets VmHWM to the current resident size
    echo "idle_rss_kb=$(status_kb "$pid" VmRSS)" >>"$work/run/tovo.record"
    wait_for $((interval + 30)) "the large feed's request" at_least $((before + 1))
    sleep 10
    grep -q "^GET /rssalarms.* -> 200, $peak_alarms items" "$log" || {
        echo "run-footprint.sh: the large poll failed:" >&2
        tail -n 3 "$log" >&2
        exit 1
    }
    {
        echo "peak_rss_kb=$(status_kb "$pid" VmHWM)"
        echo "after_rss_kb=$(status_kb "$pid" VmRSS)"
    } >>"$work/run/tovo.record"
    stop_all
    if [ -n "$system_ca" ]; then
        rm -f "$system_ca"
        update-ca-certificates >/dev/null 2>&1 || true
        system_ca=
    fi
}

field() { sed -n "s/^$2=//p" "$1"; }
[ -z "$keep" ] || mkdir -p "$keep"
trust="SSL_CERT_FILE"
[ "$(id -u)" -ne 0 ] || ! command -v update-ca-certificates >/dev/null || trust="the system store"
echo "alarms: $alarms (peak: $peak_alarms), polling interval: $interval s, runs: $runs," \
    "the service's CA in $trust"
for run in $(seq "$runs"); do
    rm -rf "$work/run"
    mkdir -p "$work/run"
    echo "run $run: bare tray..."
    measure_bare
    echo "run $run: tovo..."
    measure_tovo
    for name in bare tovo; do
        cp "$work/run/$name.record" "$work/$name.$run.record"
        cp "$work/run/$name.mappings" "$work/$name.$run.mappings"
    done
    [ -z "$keep" ] || cp "$work"/run/*.log "$work"/run/*.pss "$keep/" 2>/dev/null || true
    for name in bare tovo; do
        r=$work/$name.$run.record
        printf '  %-5s RSS %6s kB  PSS %6s kB  USS %6s kB  (kernel PSS %6s kB)  threads %s  wake-ups in 30 quiet s %s:%s\n' \
            "$name" "$(field "$r" rss_kb)" "$(field "$r" pss_kb)" "$(field "$r" uss_kb)" \
            "$(field "$r" kernel_pss_kb)" "$(field "$r" threads)" "$(field "$r" wakeups_30s)" \
            "$(field "$r" woken)"
    done
    r=$work/tovo.$run.record
    printf '  tovo over one interval: %s wake-ups, %s request(s);%s\n' \
        "$(field "$r" wakeups_interval)" "$(field "$r" requests_interval)" "$(field "$r" woken_interval)"
    printf '  tovo %s-alarm poll: resident %s kB before, peak %s kB (+%s kB), %s kB after\n' \
        "$peak_alarms" "$(field "$r" idle_rss_kb)" "$(field "$r" peak_rss_kb)" \
        "$(($(field "$r" peak_rss_kb) - $(field "$r" idle_rss_kb)))" "$(field "$r" after_rss_kb)"
done

# Median and range of one field over the runs.
summary() { # program field
    for r in "$work/$1".*.record; do field "$r" "$2"; done | sort -n |
        awk '{v[NR] = $1} END {m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
                              printf "%s [%s-%s]", m, v[1], v[NR]}'
}
median() { summary "$@" | cut -d' ' -f1; }
for r in "$work"/tovo.*.record; do
    echo "peak_growth_kb=$(($(field "$r" peak_rss_kb) - $(field "$r" idle_rss_kb)))" >>"$r"
done

echo
echo "medians [ranges] over $runs runs (kB; wake-ups in 30 quiet seconds):"
printf '%-10s %-22s %-22s %-22s %-22s %-10s %s\n' program RSS PSS USS "kernel PSS" threads wake-ups
for name in bare tovo; do
    printf '%-10s %-22s %-22s %-22s %-22s %-10s %s\n' "$name" "$(summary $name rss_kb)" \
        "$(summary $name pss_kb)" "$(summary $name uss_kb)" "$(summary $name kernel_pss_kb)" \
        "$(summary $name threads)" "$(summary $name wakeups_30s)"
done
echo "tovo over one polling interval: $(summary tovo wakeups_interval) wake-ups," \
    "$(summary tovo requests_interval) request(s)"
echo "tovo across a $peak_alarms-alarm poll: resident $(summary tovo idle_rss_kb) before," \
    "peak $(summary tovo peak_rss_kb), growth $(summary tovo peak_growth_kb), after $(summary tovo after_rss_kb)"

echo
echo "largest parts of PSS by mapping, last run (kB; tovo, bare tray, difference):"
join -t $'\t' -a1 -a2 -e 0 -o 0,1.2,2.2 \
    <(awk '{n = $2; for (i = 3; i <= NF; i++) n = n " " $i; print n "\t" $1}' "$work/tovo.$runs.mappings" | sort -t $'\t' -k1,1) \
    <(awk '{n = $2; for (i = 3; i <= NF; i++) n = n " " $i; print n "\t" $1}' "$work/bare.$runs.mappings" | sort -t $'\t' -k1,1) |
    awk -F '\t' '$2 >= 150 || $3 >= 150 || $2 - $3 >= 100 || $3 - $2 >= 100 {printf "%7d %7d %7d  %s\n", $2, $3, $2 - $3, $1}' |
    sort -k3,3nr
awk -v t="$(median tovo pss_kb)" -v b="$(median bare pss_kb)" \
    'BEGIN {printf "pss_ratio_vs_bare_tray=%.3f\n", t / b}'
