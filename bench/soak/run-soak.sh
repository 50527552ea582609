#!/usr/bin/env bash
# Fault soak of the tray program: tovo polls the fake service at a short interval for 1,000 polls
# and more while the service answers with a mixed schedule of faults (refused connection, reset,
# stall, drip, 500 page, garbage, 100 MB body, untrusted certificate, cookie and header floods,
# hostile feeds) and valid feeds whose alarms churn. No display is needed.
#
#   run-soak.sh [--build DIR] [--soak BIN] [--tovo BIN] [--polls N] [--interval-ms MS]
#               [--deadline-ms MS]
#
# The programs default to those of DIR (build/ci of this tree). Prints the figures; the last line
# is soak: polls=<n> faults=<n> crashes=<n> rss_growth_kb=<n> notifications=exact|differ, and the
# exit status is non-zero when a check failed.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$here/../../build/ci
soak= tovo=
options=()
while [ $# -gt 0 ]; do
    case "$1" in
        --build) build=$2; shift 2 ;;
        --soak) soak=$2; shift 2 ;;
        --tovo) tovo=$2; shift 2 ;;
        --polls | --interval-ms | --deadline-ms) options+=("$1" "$2"); shift 2 ;;
        *) echo "run-soak.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
soak=${soak:-$build/bench/soak/tovo-soak}
tovo=${tovo:-$build/app/tovo}
missing() {
    echo "run-soak.sh: $1 is missing ($2)" >&2
    exit 2
}
for program in "$soak" "$tovo"; do
    [ -x "$program" ] || missing "$program" "build the tovo and tovo-soak targets"
done
for tool in dbus-run-session openssl; do
    command -v "$tool" >/dev/null || missing "$tool" "scripts/deps.sh installs it"
done

# Everything the run needs is private to it: bus, folders, certificates.
exec dbus-run-session -- "$soak" --tovo "$tovo" "${options[@]}"
