#!/usr/bin/env bash
# Runs one test program with a private XDG tree (and, with --session-bus, its own session bus),
# so that no test sees another's settings, autostart entries or bus names.
set -euo pipefail
session_bus=0
while [ $# -gt 0 ]; do
    case "$1" in
        --session-bus) session_bus=1; shift ;;
        --) shift; break ;;
        *) echo "run-test.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
root=$(mktemp -d "${TMPDIR:-/tmp}/tovo-test.XXXXXX")
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/config" "$root/data" "$root/cache" "$root/runtime"
chmod 700 "$root/runtime"
export HOME="$root/home" XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data"
export XDG_CACHE_HOME="$root/cache" XDG_RUNTIME_DIR="$root/runtime"
export TOVO_TEST_TMP="$root"
mkdir -p "$HOME"
unset TOVO_WEB_BASE TOVO_FEED_BASE SSL_CERT_FILE
if [ "$session_bus" = 1 ]; then
    exec dbus-run-session -- "$@"
fi
exec "$@"
