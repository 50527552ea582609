#!/usr/bin/env bash
# The demo: builds T-O-VO, installs it into build/demo/prefix, starts the local demo service and
# runs the tray application (and the Today panel) against it, with settings of their own under
# build/demo so nothing of yours is touched. On a desktop ($DISPLAY or $WAYLAND_DISPLAY) the
# programs use your session; without a display they run in a headless one (Xvfb, trayer, dunst)
# and every notification is printed here. Ctrl-C stops everything the demo started.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/deps.sh
cmake --preset default
cmake --build --preset default

stage=$root/build/demo
prefix=$stage/prefix
rm -rf "$stage"
mkdir -p "$stage/config" "$stage/data" "$stage/cache"
cmake --install build/default --prefix "$prefix" >/dev/null

pids=()
stop() {
    trap - EXIT INT TERM
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    exec 3>&- 2>/dev/null || true
    # The headless session takes its display and bus down once fd 3 is closed.
    local tries=0
    while [ -n "${session_pid:-}" ] && kill -0 "$session_pid" 2>/dev/null && [ "$tries" -lt 100 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    echo "demo stopped"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

await() { # what, command...: polls for up to 30 s
    local what=$1 tries=0
    shift
    until "$@" >/dev/null 2>&1; do
        tries=$((tries + 1))
        [ "$tries" -le 300 ] || { echo "demo: $what did not start" >&2; exit 1; }
        sleep 0.1
    done
}

export XDG_CONFIG_HOME=$stage/config XDG_DATA_HOME=$stage/data XDG_CACHE_HOME=$stage/cache
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    mkdir -m 700 "$stage/runtime"
    export XDG_RUNTIME_DIR=$stage/runtime
fi
export XDG_DATA_DIRS=$prefix/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}
export PATH=$prefix/bin:$PATH

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Using your desktop session."
else
    echo "No display: starting a headless session (Xvfb, trayer, dunst on a private bus)."
    # The session lasts as long as fd 3 stays open; its bus activates our D-Bus services
    # through XDG_DATA_DIRS.
    exec 3> >(exec scripts/headless-session.sh --print-notifications --env-file "$stage/session.env")
    session_pid=$!
    await "the headless session" test -s "$stage/session.env"
    set -a
    . "$stage/session.env"
    set +a
fi

build/default/tools/tovo-demo-service \
    > >(tee "$stage/service.log" | sed -u -n '/^GET\|^POST\|^unreadable/s/^/[service] /p') &
pids+=($!)
await "the demo service" grep -qx ready "$stage/service.log"
setting() { sed -n "s/^$1=//p" "$stage/service.log"; }
export TOVO_WEB_BASE=$(setting TOVO_WEB_BASE) TOVO_FEED_BASE=$(setting TOVO_FEED_BASE)
export SSL_CERT_FILE=$(setting SSL_CERT_FILE)
guid=$(setting TOVO_DEMO_GUID)

# The widget's hand-over: a token URL gives tovo the account and starts polling.
tovo "tovo://$guid" &
pids+=($!)
if [ -x "$prefix/bin/tovo-today" ]; then
    tovo-today &
    pids+=($!)
fi

cat <<EOF

T-O-VO demo
  service        $TOVO_WEB_BASE  (certificate authority: $SSL_CERT_FILE)
  demo account   e-mail $(setting TOVO_DEMO_EMAIL)   password $(setting TOVO_DEMO_PASSWORD)
                 sign in with it in the "T-O-VO Today" panel (tovo-today)
  GUID           $guid, handed to tovo as tovo://$guid

tovo polls once a minute. Its first answer only records the open alarms; alarms that appear
after it raise a notification each (the service's script brings a new one every few minutes).
Ctrl-C stops the demo.

EOF
wait "${pids[0]}"
