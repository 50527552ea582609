#!/usr/bin/python3
"""Reads the running T-O-VO Today panel as a screen reader does, over the accessibility bus.

Prints its window and, while it signs in (a wrong password first) and walks its alarm list with the
keyboard (xdotool on $DISPLAY), one line per focus change and announcement: "<what>: <role as the
program names it>: <name>". Usage: screen-reader.py APPLICATION EMAIL WRONG-PASSWORD PASSWORD
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

application, email, wrong, password = sys.argv[1:5]
heard = []


def listen(event):
    # Focus on what can take it, and notifications as they appear.
    source = event.source
    try:
        if event.detail1 != 1 or event.host_application.name != application:
            return
        if event.type.endswith(":focused") and source.getState().contains(pyatspi.STATE_FOCUSABLE):
            what = "focus"
        elif event.type.endswith(":showing") and source.getRole() == pyatspi.ROLE_NOTIFICATION:
            what = "announced"
        else:
            return
        heard.append("%s: %s: %s" % (what, source.getLocalizedRoleName(), source.name))
    except GLib.Error:
        pass  # gone meanwhile (the page of rows that a new one replaced)


def pump(seconds, until=lambda: False):
    end = time.monotonic() + seconds
    while time.monotonic() < end and not until():
        GLib.MainContext.default().iteration(False)
        time.sleep(0.01)


def then(keys, typed="", events=1):
    """Types `typed`, presses `keys`, and prints the next `events` things heard."""
    count = len(heard)
    if typed:
        subprocess.run(["xdotool", "type", "--delay", "20", typed], check=True)
    subprocess.run(["xdotool", "key", "--delay", "50", *keys], check=True)
    pump(20, lambda: len(heard) >= count + events)
    pump(0.3)
    for line in heard[count:]:
        print(line, flush=True)


def find(node, role):
    for child in node:
        if child is None:
            continue
        if child.getRole() == role:
            return child
        found = find(child, role)
        if found:
            return found
    return None


apps = []
pump(30, lambda: apps.extend(a for a in pyatspi.Registry.getDesktop(0)
                             if a and a.name == application) or apps)
window = apps[0][0]
print("window: %s: %s" % (window.getLocalizedRoleName(), window.name), flush=True)
for kind in ("object:state-changed:focused", "object:state-changed:showing"):
    pyatspi.Registry.registerEventListener(listen, kind)
focus = ["xdotool", "search", "--onlyvisible", "--name", "^%s$" % window.name, "windowfocus"]
pump(30, lambda: subprocess.run(focus, stderr=subprocess.DEVNULL).returncode == 0)
pump(0.5)
then(["Tab"], typed=email)
then(["Return"], typed=wrong, events=2)
then(["Return"], typed=password, events=2)
alarms = find(window, pyatspi.ROLE_LIST)
print("list: %s: %s, %d items" % (alarms.getLocalizedRoleName(), alarms.name, alarms.childCount))
for keys in (["Down"], ["End"], ["Home"]):
    then(keys)
