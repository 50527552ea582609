#!/usr/bin/python3
"""Reads the running T-O-VO Today panel as a screen reader does, over the accessibility bus.

Prints its window and, while it signs in (a wrong password first) and walks its alarm list with the
keyboard (xdotool on $DISPLAY), what is announced and where the focus is after each step: "<what>:
<role as the program names it>: <name>". Usage: screen-reader.py APPLICATION EMAIL WRONG PASSWORD
"""
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

application, email, wrong, password = sys.argv[1:5]
announced = []


def listen(event):
    # Notifications are announced as they appear.
    try:
        source = event.source
        if (event.detail1 == 1 and event.host_application.name == application
                and source.getRole() == pyatspi.ROLE_NOTIFICATION):
            announced.append("announced: %s: %s" % (source.getLocalizedRoleName(), source.name))
    except GLib.Error:
        pass  # gone meanwhile


def pump(seconds, until=lambda: False):
    end = time.monotonic() + seconds
    while time.monotonic() < end and not until():
        GLib.MainContext.default().iteration(False)
        time.sleep(0.05)


def find(node, test):
    for child in node:
        if child is None:
            continue
        if test(child):
            return child
        found = find(child, test)
        if found:
            return found
    return None


def focus():
    """What has the focus, as a screen reader says it."""
    try:
        item = find(window, lambda node: node.getState().contains(pyatspi.STATE_FOCUSED))
        return "focus: %s: %s" % (item.getLocalizedRoleName(), item.name) if item else ""
    except GLib.Error:
        return ""  # the tree is changing


def moved(line, before):
    return line and line != before


def to_alarm(line, before):
    return moved(line, before) and line.count(":") >= 3  # "focus: list item: Critical: ..."


def then(keys, typed="", announcements=0, until=None):
    """Types `typed` and presses `keys`; prints what is announced, then what has the focus once
    `until` (given the focus now and before) says it is where it goes."""
    count, before = len(announced), focus()
    if typed:
        subprocess.run(["xdotool", "type", "--delay", "20", typed], check=True)
    subprocess.run(["xdotool", "key", "--delay", "50", *keys], check=True)
    pump(30, lambda: len(announced) >= count + announcements)
    pump(30 if until else 0.5, lambda: until is not None and until(focus(), before))
    for line in announced[count:] + [focus()]:
        print(line, flush=True)


apps = []
pump(30, lambda: apps.extend(a for a in pyatspi.Registry.getDesktop(0)
                             if a and a.name == application) or apps)
window = apps[0][0]
print("window: %s: %s" % (window.getLocalizedRoleName(), window.name), flush=True)
pyatspi.Registry.registerEventListener(listen, "object:state-changed:showing")
command = ["xdotool", "search", "--onlyvisible", "--name", "^%s$" % window.name, "windowfocus"]
pump(30, lambda: subprocess.run(command, stderr=subprocess.DEVNULL).returncode == 0)
pump(30, lambda: focus())
then(["Tab"], typed=email, until=moved)
then(["Return"], typed=wrong, announcements=1)
then(["Return"], typed=password, announcements=1, until=to_alarm)
alarms = find(window, lambda node: node.getRole() == pyatspi.ROLE_LIST)
print("list: %s: %s, %d items" % (alarms.getLocalizedRoleName(), alarms.name, alarms.childCount))
for keys in (["Down"], ["End"], ["Home"]):
    then(keys, until=to_alarm)
