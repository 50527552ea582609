#!/usr/bin/env bash
# The demo: builds T-O-VO, installs it into build/demo/prefix, starts the local demo service and
# runs the tray application (and the Today panel) against it, with settings of their own under
# build/demo so nothing of yours is touched. On a desktop ($DISPLAY or $WAYLAND_DISPLAY) the
# programs use your session; without a display they run in a headless one (Xvfb, trayer, dunst)
# and every notification is printed here. Ctrl-C stops everything the demo started.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/demo-setup.sh
demo_install build/demo

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "Using your desktop session."
else
    echo "No display: starting a headless session (Xvfb, trayer, dunst on a private bus)."
    demo_session --print-notifications
fi

demo_service

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
