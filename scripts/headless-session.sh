#!/usr/bin/env bash
# A throwaway desktop session for machines without a display: a private session bus, an Xvfb
# display, a system tray (trayer) and a notification daemon (dunst) on that bus.
#
#   headless-session.sh [options] -- COMMAND [ARGS...]
#       runs COMMAND inside the session and tears the session down when it ends
#   headless-session.sh [options] --env-file FILE
#       writes DISPLAY=... and DBUS_SESSION_BUS_ADDRESS=... to FILE once everything is up, then
#       keeps the session until its standard input closes or it receives SIGTERM/SIGINT (so a
#       parent that dies takes the session with it)
#
# Options:
#   --notification-log FILE   append one line per notification dunst receives:
#                             base64(app name) TAB base64(summary) TAB base64(body) TAB desktop entry
#   --print-notifications     print each notification on standard output as it is raised
#   --size WxH                screen size (default 1280x800)
#
# Programs started on the bus are found through $XDG_DATA_DIRS/dbus-1/services, so a staging
# prefix on XDG_DATA_DIRS makes its D-Bus services activatable.
set -euo pipefail

env_file=
notification_log=
print_notifications=0
size=1280x800
while [ $# -gt 0 ]; do
    case "$1" in
        --env-file) env_file=$2; shift 2 ;;
        --notification-log) notification_log=$2; shift 2 ;;
        --print-notifications) print_notifications=1; shift ;;
        --size) size=$2; shift 2 ;;
        --) shift; break ;;
        *) echo "headless-session.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
if [ -z "$env_file" ] && [ $# -eq 0 ]; then
    echo "headless-session.sh: give --env-file FILE or -- COMMAND" >&2
    exit 2
fi
for tool in Xvfb trayer dunst dbus-daemon dbus-send xwininfo; do
    command -v "$tool" >/dev/null || { echo "headless-session.sh: $tool is missing (scripts/deps.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tovo-session.XXXXXX")
pids=()
cleanup() {
    local pid
    # A signal now (the parent ends us as it closes our input) must not cut the teardown short:
    # the session's parts run in sessions of their own and would be left running.
    trap '' TERM INT
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 143' TERM
# Ctrl-C reaches the whole process group. The session's parts run in sessions of their own
# (setsid) and, with --env-file, this script ignores it too, so the programs running in the
# session end first (a program whose display vanishes under it complains); the session then ends
# when its parent closes our input.
if [ -n "$env_file" ]; then
    trap '' INT
else
    trap 'exit 130' INT
fi

# Polls a condition for up to 30 seconds (a loaded machine is slow to start X clients); the
# session's parts start asynchronously.
await() {
    local what=$1; shift
    local tries=0
    until "$@" >/dev/null 2>&1; do
        tries=$((tries + 1))
        if [ "$tries" -gt 300 ]; then
            echo "headless-session.sh: $what did not come up" >&2
            cat "$work"/*.log >&2 2>/dev/null || true
            exit 1
        fi
        sleep 0.1
    done
}

setsid dbus-daemon --session --nofork --nopidfile --print-address=3 \
    3>"$work/bus-address" 2>"$work/bus.log" &
pids+=($!)
await "the session bus" test -s "$work/bus-address"
DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus-address")
export DBUS_SESSION_BUS_ADDRESS

# -displayfd picks a free display number and reports it once the server accepts clients. Servers
# of other sessions come and go beside ours, so a display that does not answer is tried again.
start_display() {
    rm -f "$work/display"
    setsid Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp \
        3>"$work/display" 2>>"$work/xvfb.log" &
    xvfb_pid=$!
    local tries=0
    until [ -s "$work/display" ]; do
        kill -0 "$xvfb_pid" 2>/dev/null || return 1
        tries=$((tries + 1))
        [ "$tries" -le 300 ] || return 1
        sleep 0.1
    done
    DISPLAY=:$(head -n1 "$work/display")
    export DISPLAY
    xwininfo -root >/dev/null 2>&1
}
attempt=1
until start_display; do
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    attempt=$((attempt + 1))
    if [ "$attempt" -gt 3 ]; then
        echo "headless-session.sh: Xvfb did not come up" >&2
        cat "$work/xvfb.log" >&2
        exit 1
    fi
done
pids+=("$xvfb_pid")
unset WAYLAND_DISPLAY

setsid trayer --edge top --align right --widthtype request --height 28 \
    --SetDockType true --transparent false --tint 0x2e3440 >/dev/null 2>"$work/trayer.log" &
pids+=($!)
await "trayer" bash -c 'xwininfo -root -children | grep -q "\"panel\""'

cat >"$work/notification-hook.sh" <<'HOOK'
#!/bin/sh
if [ -n "$TOVO_NOTIFICATION_LOG" ]; then
    printf '%s\t%s\t%s\t%s\n' \
        "$(printf '%s' "$DUNST_APP_NAME" | base64 -w0)" \
        "$(printf '%s' "$DUNST_SUMMARY" | base64 -w0)" \
        "$(printf '%s' "$DUNST_BODY" | base64 -w0)" \
        "$DUNST_DESKTOP_ENTRY" >>"$TOVO_NOTIFICATION_LOG"
fi
if [ "$TOVO_PRINT_NOTIFICATIONS" = 1 ]; then
    printf '[notification] %s: %s\n' "$DUNST_SUMMARY" "$DUNST_BODY"
fi
HOOK
chmod +x "$work/notification-hook.sh"
cat >"$work/dunstrc" <<CONF
[global]
    follow = none
    width = 380
    origin = top-right
    offset = 10x40
    font = Monospace 9
    markup = full
    format = "<b>%s</b>\n%b"
    show_indicators = no
    always_run_script = true
[record]
    summary = "*"
    script = $work/notification-hook.sh
CONF
[ -n "$notification_log" ] && : >>"$notification_log"
# The hook's output is dunst's output: keep it on ours (fd 1 itself, not a reopened
# /dev/stdout, which would truncate a log file) only when it should be printed.
if [ "$print_notifications" = 1 ]; then exec 4>&1; else exec 4>/dev/null; fi
TOVO_NOTIFICATION_LOG=$notification_log TOVO_PRINT_NOTIFICATIONS=$print_notifications \
    setsid dunst -config "$work/dunstrc" >&4 2>"$work/dunst.log" &
exec 4>&-
pids+=($!)
notifications_owned() {
    dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications | grep -q 'boolean true'
}
await "dunst" notifications_owned

if [ $# -gt 0 ]; then
    status=0
    "$@" || status=$?
    exit "$status"
fi

printf 'DISPLAY=%s\nDBUS_SESSION_BUS_ADDRESS=%s\n' "$DISPLAY" "$DBUS_SESSION_BUS_ADDRESS" >"$env_file.tmp"
mv "$env_file.tmp" "$env_file"
# Until the parent closes our standard input (or dies, which closes it as well).
while read -r _; do :; done
