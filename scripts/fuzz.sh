#!/usr/bin/env bash
# Builds the fuzz targets with clang-15, libFuzzer, ASan and UBSan (preset "fuzz", build/fuzz)
# and runs each for the given time, starting from its seed corpus in tests/fuzz/corpus.
# Usage: scripts/fuzz.sh [seconds] [target...]   (default: 600 s, every target)
# FUZZ_JOBS=2 runs two targets at once. An input slower than FUZZ_TIMEOUT seconds (default 2) or
# needing more than FUZZ_RSS_MB (default 1024) counts as a finding, like a crash, a leak or a
# broken contract. New corpus entries stay in build/fuzz/corpus/<target>; findings go to
# build/fuzz/findings/<target>; logs to build/fuzz/logs. A reproducer worth keeping is copied to
# tests/fuzz/corpus/<target> by hand, once its fault is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
all=(fuzz_AlarmFeed fuzz_SignInAnswer fuzz_UrlText fuzz_UrlEvent fuzz_SettingsFile
     fuzz_NotificationText)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
jobs=${FUZZ_JOBS:-1}
timeout=${FUZZ_TIMEOUT:-2}
rss=${FUZZ_RSS_MB:-1024}

scripts/deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j2 --target "${targets[@]}"

out=build/fuzz
mkdir -p "$out/logs"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export QT_QPA_PLATFORM=offscreen
# Stack traces with file and line; the symbolizer is found by its real path only.
if command -v llvm-symbolizer >/dev/null; then
    ASAN_SYMBOLIZER_PATH=$(readlink -f "$(command -v llvm-symbolizer)")
    export ASAN_SYMBOLIZER_PATH
fi
# The settings targets write a file for each input: in memory, syncing it to disk costs nothing.
# A folder of this run's own, so that what a crashed target leaves behind goes with it.
if [ -w /dev/shm ]; then
    TMPDIR=$(mktemp -d /dev/shm/tovo-fuzz.XXXXXX)
    export TMPDIR
    trap 'rm -rf "$TMPDIR"' EXIT
fi

run() {
    local target=$1 binary
    binary=$(find "$out/tests/fuzz" -maxdepth 1 -name "$target" -type f)
    rm -rf "$out/findings/$target"
    mkdir -p "$out/corpus/$target" "$out/findings/$target"
    local start=$SECONDS status=0
    "$binary" -max_total_time="$seconds" -timeout="$timeout" -rss_limit_mb="$rss" \
        -print_final_stats=1 -artifact_prefix="$out/findings/$target/" \
        "$out/corpus/$target" "tests/fuzz/corpus/$target" >"$out/logs/$target.log" 2>&1 || status=$?
    echo "$status $((SECONDS - start))" >"$out/logs/$target.result"
}

for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || true
    done
    echo "fuzzing $target for $seconds s ..."
    run "$target" &
done
wait

found=0
printf '%-28s %12s %8s %10s  %s\n' target executions time exec/s result
for target in "${targets[@]}"; do
    read -r status elapsed <"$out/logs/$target.result"
    log=$out/logs/$target.log
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    findings=$(find "$out/findings/$target" -type f | wc -l)
    if [ "$status" -eq 0 ] && [ "$findings" -eq 0 ]; then
        result="nothing found"
    else
        result="FOUND (exit $status): $(find "$out/findings/$target" -type f | tr '\n' ' ')"
        found=1
    fi
    printf '%-28s %12s %7ss %10s  %s\n' "$target" "${runs:-?}" "$elapsed" "${rate:-?}" "$result"
done
exit $found
