#!/usr/bin/env bash
# The README's pictures, made again from the source: builds and installs T-O-VO as the demo does,
# runs it in a headless session (Xvfb, trayer, dunst on a private bus) against the demo service,
# signs in with the keyboard, opens the tray menu with a right click, waits for the
# notifications of two new alarms and writes into docs/images (or the folder given):
#   overview.png       the Today panel with its coloured rows beside those notifications
#   panel.png          the Today panel with its rows
#   sign-in.png        the panel's sign-in form, filled in
#   tray-menu.png      the tray icon and its menu
#   notification.png   the notifications as dunst shows them
# About three minutes after the build: the service's new alarms come 90 s and 150 s after its
# start. The session is the same every time (screen, font, locale, style, the service's script),
# so the pictures are too: a run that changes nothing writes the same files again.
# Usage: scripts/screenshots.sh [folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/images}")
demo_name=screenshots
. scripts/demo-setup.sh
demo_install build/screenshots
raw=$stage/raw
mkdir -p "$raw" "$out"

# Nothing of the user's desktop: a session of our own, English, Qt's own style and font settings.
unset DISPLAY WAYLAND_DISPLAY LANGUAGE QT_STYLE_OVERRIDE QT_QPA_PLATFORMTHEME QT_SCALE_FACTOR \
    QT_SCREEN_SCALE_FACTORS QT_FONT_DPI QT_AUTO_SCREEN_SCALE_FACTOR
export LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb
notifications=$stage/notifications.log
demo_session --notification-log "$notifications"
echo "Making the pictures in a headless session; this takes about three minutes."
demo_service
export TOVO_POLL_INTERVAL_SECONDS=75

desktop='#a3adb8' # the background the pictures put the windows on
# import, then write without the time stamps PNG files carry, so that a picture that did not
# change is the same file again.
capture() { import -window "$1" "$raw/$2.png"; }
save() { # image operations..., last the file in $out
    local args=("$@") name=${*: -1}
    convert "${args[@]:0:$#-1}" -strip -define png:exclude-chunks=date,time "$out/$name"
    echo "  $out/$name"
}
# The window's picture down to its content and a margin below it (the panel is a tall window
# whose lower part is empty), with a frame of one pixel.
window_picture() { # raw name, margin
    local height
    height=$(convert "$raw/$1.png" -trim -format '%[fx:page.y+h]' info:)
    convert "$raw/$1.png" -crop "x$((height + $2))+0+0" +repage \
        -bordercolor '#9aa3ad' -border 1 "$raw/$1-cut.png"
}
# The same with a soft shadow below, for the composed picture.
shadowed() { # raw image, result
    convert "$1" \( +clone -background '#20262d' -shadow 45x6+0+3 \) +swap \
        -background none -layers merge +repage "$2"
}
feed_requests() { grep -c '^GET /rssalarms' "$stage/service.log" || true; }
more_than() { [ "$("$2")" -gt "$1" ]; } # count, function counting
panel_window() { xdotool search --onlyvisible --name '^T-O-VO Today$' | head -n1; }
start_panel() {
    tovo-today &
    today_pid=$!
    pids+=("$today_pid")
    await "the Today panel" panel_window
    panel=$(panel_window)
}

# tovo as the login item starts it, before any account; the panel's sign-in hands the account
# over.
tovo launched &
pids+=($!)
tray_icon() { xdotool search --onlyvisible --classname '^tovo$' | head -n1; }
await "the tray icon" tray_icon
start_panel

# The form opens with the e-mail field focused; Tab leads on to the Sign In button, which the
# picture shows focused (a text cursor would blink in and out of it) and Space presses.
xdotool windowfocus --sync "$panel"
xdotool type --delay 20 "$(setting TOVO_DEMO_EMAIL)"
xdotool key Tab
xdotool type --delay 20 "$(setting TOVO_DEMO_PASSWORD)"
xdotool key Tab
sleep 0.5
capture "$panel" sign-in
xdotool key space
await "the sign-in" more_than 0 feed_requests

# The menu over the desktop, not over the panel: the panel goes, as a user closes it.
kill "$today_pid"
wait "$today_pid" 2>/dev/null || true
tovo_windows() { xdotool search --onlyvisible --classname '^tovo$' | wc -l; }
before=$(tovo_windows)
# At the icon's lower left corner, so that the menu, which opens at the pointer, leaves the icon
# in sight.
xdotool mousemove --window "$(tray_icon)" 2 21 click 3
await "the tray menu" more_than "$before" tovo_windows
sleep 0.5
capture root tray
xdotool key Escape

# tovo's first answer, one interval after the sign-in, is silent. The service's fourth alarm
# opens 90 s after its start and its fifth, a critical one, at 150 s: with the sign-in within
# the first 15 s, both are new in the second answer, and dunst shows their notifications one
# above the other.
echo "Waiting for tovo's second poll and its two notifications (about two and a half minutes)."
notified() { [ "$(wc -l <"$notifications")" -ge 2 ] && xdotool search --onlyvisible --class '^Dunst$'; }
tries=0
until notified >/dev/null; do
    tries=$((tries + 1))
    [ "$tries" -le 2400 ] || { echo "$demo_name: two notifications did not come" >&2; exit 1; }
    sleep 0.1
done
sleep 1
capture "$(xdotool search --onlyvisible --class '^Dunst$' | head -n1)" notification
dunstctl close-all

# The panel opened again shows the notified alarms among the others.
requests=$(feed_requests)
start_panel
await "the panel's rows" more_than "$requests" feed_requests
sleep 1
capture "$panel" panel

echo "Writing the pictures:"
window_picture sign-in 6
save "$raw/sign-in-cut.png" sign-in.png
window_picture panel 10
save "$raw/panel-cut.png" panel.png
save "$raw/notification.png" notification.png
# The top right corner of the screen: the tray with its icon and the menu below it. The screen
# is black where no window is; the desktop's colour fills it from the picture's lower left
# corner (the menu's frame keeps it out of the menu).
save "$raw/tray.png" -gravity northeast -crop 150x104+0+0 +repage -gravity northwest \
    -fill "$desktop" -draw 'color 0,103 floodfill' tray-menu.png
# The panel and, beside it at the same height, the notifications, each with its shadow (which
# reaches 12 px out, 9 px above), on the desktop's colour with a margin of 24 px.
shadowed "$raw/panel-cut.png" "$raw/panel-shadow.png"
shadowed "$raw/notification.png" "$raw/notification-shadow.png"
read -r panel_w panel_h < <(identify -format '%w %h\n' "$raw/panel-cut.png")
read -r note_w note_h < <(identify -format '%w %h\n' "$raw/notification.png")
save -size "$((panel_w + note_w + 72))x$((panel_h > note_h ? panel_h + 48 : note_h + 48))" \
    "xc:$desktop" "$raw/panel-shadow.png" -geometry +12+15 -composite \
    "$raw/notification-shadow.png" -geometry "+$((panel_w + 36))+15" -composite overview.png
