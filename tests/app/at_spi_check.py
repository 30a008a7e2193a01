#!/usr/bin/python3
"""What a screen reader meets: starts velmor-tray on the X server in DISPLAY with Qt's AT-SPI
bridge, finds both windows and their controls by name and role through pyatspi, and operates one
(Launch Clip Hoarder), checking the side panel then offers to quit it. In the organizer it reads
the areas' and cards' labels, moves a card with its "Move to" action and presses "Apply grouping". Run inside a D-Bus session
with the accessibility bus up (tests/app/at_spi_test.sh does both)."""

import os
import subprocess
import sys
import time

import pyatspi

TIMEOUT = 30


def wait_for(find, what):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    sys.exit(f"not found through AT-SPI: {what}")


def descendants(node, depth=0):
    if node is None or depth > 60:
        return
    yield node
    for index in range(node.childCount):
        try:
            child = node.getChildAtIndex(index)
        except Exception:
            continue
        yield from descendants(child, depth + 1)


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name in ("velmor-tray", "Velmor Tray"):
            return app
    return None


def named(app, name, role):
    for node in descendants(app):
        if node.name == name and node.getRole() == role:
            return node
    return None


def starting(app, prefix, role=None):
    for node in descendants(app):
        if node.name and node.name.startswith(prefix) and (role is None or node.getRole() == role):
            return node
    return None


def press(node, wanted="Press"):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if wanted not in names and wanted != "Press":
        sys.exit(f"no action {wanted!r} on {node.name!r}: {names}")
    action.doAction(names.index(wanted) if wanted in names else 0)


def organize(app):
    """The organizer as a screen reader user works it: areas and cards by their labels, a card
    moved by its action, grouping applied by its button."""
    hidden = wait_for(lambda: starting(app, "Always hidden, "), "the Always hidden area")
    count = int(hidden.name.split(", ")[1].split(" ")[0])
    if not hidden.name.endswith(" apps, drop area"):
        sys.exit(f"unexpected area label: {hidden.name!r}")
    wait_for(lambda: starting(app, "Always visible, "), "the Always visible area")
    card = wait_for(lambda: named(app, "Weather Desk", pyatspi.ROLE_LIST_ITEM), "the Weather Desk card")
    action = card.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Move to Always visible" in names:
        sys.exit("the card offers a move to the area it is in")
    press(card, "Move to Always hidden")
    wanted = f"Always hidden, {count + 1} apps, drop area"
    wait_for(lambda: starting(app, wanted), wanted)
    press(wait_for(lambda: named(app, "Apply grouping", pyatspi.ROLE_PUSH_BUTTON), "Apply grouping"))
    wait_for(lambda: named(app, "Expand extras", pyatspi.ROLE_PUSH_BUTTON)
             or named(app, "Collapse extras", pyatspi.ROLE_PUSH_BUTTON), "the button after applying")


def main():
    binary = sys.argv[1]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    process = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        app = wait_for(application, "the app")
        wait_for(lambda: named(app, "Simulated Mac — default.json", pyatspi.ROLE_FRAME), "the simulated Mac's window")
        wait_for(lambda: named(app, "Velmor Tray", pyatspi.ROLE_FRAME), "the settings window")
        wait_for(lambda: named(app, "Velmor Tray", pyatspi.ROLE_PUSH_BUTTON), "the chevron, a button named Velmor Tray")
        launch = wait_for(lambda: named(app, "Launch Clip Hoarder", pyatspi.ROLE_PUSH_BUTTON), "Launch Clip Hoarder")
        action = launch.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        action.doAction(names.index("Press") if "Press" in names else 0)
        wait_for(lambda: named(app, "Quit Clip Hoarder", pyatspi.ROLE_PUSH_BUTTON), "Quit Clip Hoarder after pressing Launch")
        organize(app)
        print("AT-SPI: windows, controls, a press and the organizer all reached")
    finally:
        process.terminate()
        process.wait(timeout=10)


if __name__ == "__main__":
    main()
