#!/usr/bin/env bash
# Runs one test program with a private XDG tree (and, with --session-bus, its own session bus),
# so that no test sees another's settings, autostart entries or bus names. The bus starts only the
# services the test writes into $TOVO_TEST_BUS_SERVICES. The test runs in a process group of its
# own that is ended with it, so nothing it or its bus started is left for ctest to wait on.
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
mkdir -p "$root/config" "$root/data" "$root/cache" "$root/runtime" "$root/services"
chmod 700 "$root/runtime"
export HOME="$root/home" XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data"
export XDG_CACHE_HOME="$root/cache" XDG_RUNTIME_DIR="$root/runtime"
export TOVO_TEST_TMP="$root"
mkdir -p "$HOME"
unset TOVO_WEB_BASE TOVO_FEED_BASE SSL_CERT_FILE
if [ "$session_bus" = 1 ]; then
    export TOVO_TEST_BUS_SERVICES="$root/services"
    cat >"$root/bus.conf" <<END
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$root/runtime</listen>
  <servicedir>$TOVO_TEST_BUS_SERVICES</servicedir>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
END
    set -- dbus-run-session --config-file="$root/bus.conf" -- "$@"
fi
set -m # the test's own process group
"$@" &
group=$!
trap 'kill -TERM -- -$group 2>/dev/null || true; rm -rf "$root"' EXIT
status=0
wait "$group" || status=$?
exit "$status"
