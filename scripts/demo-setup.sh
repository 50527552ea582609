# Sourced by scripts/demo.sh and scripts/screenshots.sh, from the repository's top folder: what
# both need to run the installed programs against the local demo service.
#
#   demo_install STAGE   installs missing packages, builds, installs into STAGE/prefix (STAGE is
#                        emptied first) and points the programs' XDG folders and PATH into STAGE
#   demo_session ARGS    starts scripts/headless-session.sh with ARGS and takes its DISPLAY and
#                        session bus
#   demo_service ARGS    starts tovo-demo-service with ARGS (its log: STAGE/service.log) and
#                        exports what a client needs; `setting NAME` reads the service's settings
#   await WHAT COMMAND...  polls COMMAND for up to 30 s
#
# Every process started goes into `pids`; on exit they are stopped, then the session, and
# "$demo_name stopped" is printed.

root=$PWD
demo_name=${demo_name:-demo}
pids=()
session_pid=

demo_stop() {
    trap - EXIT INT TERM
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    exec 3>&- 2>/dev/null || true
    # The headless session takes its display and bus down once fd 3 is closed.
    local tries=0
    while [ -n "$session_pid" ] && kill -0 "$session_pid" 2>/dev/null && [ "$tries" -lt 100 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    echo "$demo_name stopped"
}
trap demo_stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

await() { # what, command...: polls for up to 30 s
    local what=$1 tries=0
    shift
    until "$@" >/dev/null 2>&1; do
        tries=$((tries + 1))
        [ "$tries" -le 300 ] || { echo "$demo_name: $what did not start" >&2; exit 1; }
        sleep 0.1
    done
}

demo_install() {
    stage=$root/$1
    prefix=$stage/prefix
    scripts/deps.sh
    cmake --preset default
    cmake --build --preset default
    rm -rf "$stage"
    mkdir -p "$stage/config" "$stage/data" "$stage/cache"
    cmake --install build/default --prefix "$prefix" >/dev/null

    export XDG_CONFIG_HOME=$stage/config XDG_DATA_HOME=$stage/data XDG_CACHE_HOME=$stage/cache
    if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
        mkdir -m 700 "$stage/runtime"
        export XDG_RUNTIME_DIR=$stage/runtime
    fi
    export XDG_DATA_DIRS=$prefix/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}
    export PATH=$prefix/bin:$PATH
}

demo_session() {
    # The session lasts as long as fd 3 stays open; its bus activates our D-Bus services
    # through XDG_DATA_DIRS.
    exec 3> >(exec scripts/headless-session.sh "$@" --env-file "$stage/session.env")
    session_pid=$!
    await "the headless session" test -s "$stage/session.env"
    set -a
    . "$stage/session.env"
    set +a
}

setting() { sed -n "s/^$1=//p" "$stage/service.log"; }

demo_service() {
    build/default/tools/tovo-demo-service "$@" \
        > >(tee "$stage/service.log" | sed -u -n '/^GET\|^POST\|^unreadable/s/^/[service] /p') &
    pids+=($!)
    await "the demo service" grep -qx ready "$stage/service.log"
    TOVO_WEB_BASE=$(setting TOVO_WEB_BASE)
    TOVO_FEED_BASE=$(setting TOVO_FEED_BASE)
    SSL_CERT_FILE=$(setting SSL_CERT_FILE)
    export TOVO_WEB_BASE TOVO_FEED_BASE SSL_CERT_FILE
    guid=$(setting TOVO_DEMO_GUID)
}
