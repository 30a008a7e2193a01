#!/usr/bin/python3
"""What a screen reader meets: starts velmor-tray on the X server in DISPLAY with Qt's AT-SPI
bridge, finds both windows and their controls by name and role through pyatspi, and operates one
(Launch Clip Hoarder), checking the side panel then offers to quit it. In the organizer it reads
the areas' and cards' labels, moves a card with its "Move to" action, presses "Reveal all" (only it
ungroups what the move grouped) and "Permissions…" (only it opens the guide, which "Done" closes).
Then, typing on the X server's keyboard (xdotool), it records a shortcut in the organizer's
Preferences, presses it on the simulated Mac's keyboard and sees the icons behind the chevron come
back, records the search's shortcut, opens the search with it, types a query and opens the one
result's menu with Return. It opens the Feedback window from the Help menu and the Update Settings
window from the app's menu, by their press actions alone, and finds their controls. Last it starts
the notched laptop (scenarios/notched.json): it presses the organizer's "Show below menu bar",
lists the bar below the menu bar by its entries' names, and presses one, whose own menu then
opens. Run inside a D-Bus session with the accessibility bus up (tests/app/at_spi_test.sh does
both). With AT_SPI_DUMP=1 a failure lists every named node it could reach."""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

TIMEOUT = 30


def wait_for(find, what):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        try:
            found = find()
        except GLib.GError:
            # A node went away while the tree was read (a list refreshing its rows): read again.
            found = None
        if found is not None:
            return found
        time.sleep(0.2)
    if os.environ.get("AT_SPI_DUMP"):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name in ("velmor-tray", "Velmor Tray"):
                for node in descendants(app):
                    if node.name:
                        print(repr(node.name), node.getRoleName())
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


def role(node):
    """The node's role, or None when it went away while a list was being read (a list refreshes
    its rows as the items it shows change)."""
    try:
        return node.getRole()
    except Exception:
        return None


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name in ("velmor-tray", "Velmor Tray"):
            return app
    return None


def named(app, name, *roles):
    for node in descendants(app):
        if node.name == name and role(node) in roles:
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


def gone(find):
    """None once `find` finds nothing, else something: for wait_for."""
    return None if find() is not None else True


def organize(app):
    """The organizer as a screen reader user works it: areas and cards by their labels, a card
    moved by its action (which applies grouping), everything revealed and the permission guide
    opened and closed by their buttons. Each press is checked by an effect nothing else causes."""
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
    wait_for(lambda: named(app, "Expand extras", pyatspi.ROLE_PUSH_BUTTON)
             or named(app, "Collapse extras", pyatspi.ROLE_PUSH_BUTTON), "grouping applied by the move")
    press(wait_for(lambda: named(app, "Reveal all", pyatspi.ROLE_PUSH_BUTTON), "Reveal all"))
    wait_for(lambda: named(app, "Apply grouping", pyatspi.ROLE_PUSH_BUTTON), "grouping off after Reveal all")

    heading = "Connect Velmor Tray"
    if named(app, heading, pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC):
        sys.exit("the permission guide shows before it is opened")
    press(wait_for(lambda: named(app, "Permissions…", pyatspi.ROLE_PUSH_BUTTON), "Permissions…"))
    wait_for(lambda: named(app, heading, pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC), "the guide after Permissions…")
    press(wait_for(lambda: named(app, "Done", pyatspi.ROLE_PUSH_BUTTON), "Done in the guide"))
    wait_for(lambda: gone(lambda: named(app, heading, pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC)),
             "the guide closed by Done")


def having(node, state):
    """The node if it is in that state (pyatspi.STATE_SHOWING …), else None: for wait_for."""
    return node if node is not None and node.getState().contains(state) else None


def keys(*arguments):
    """Keys through the X server's keyboard (XTEST), as a person types them."""
    subprocess.run(["xdotool", *arguments], check=True, stdout=subprocess.DEVNULL)


def focus(frame, pid):
    """Gives the window the X keyboard focus (no window manager runs to do it) and waits until Qt
    reports it active."""
    def window():
        found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid", str(pid),
                                "--name", f"^{frame.name}$"], capture_output=True, text=True).stdout.split()
        return found[0] if len(found) == 1 else None
    keys("windowfocus", "--sync", wait_for(window, f"the X window of {frame.name!r}"))
    wait_for(lambda: having(frame, pyatspi.STATE_ACTIVE), f"{frame.name!r} active")


def record(app, settings, pid, title, combination, text):
    """Records a shortcut as a person does: the recorder pressed, then the keys on the keyboard.
    Only keys that reached the recorder name the combination in its label."""
    recorder = wait_for(lambda: named(app, f"Shortcut for {title}: none", pyatspi.ROLE_PUSH_BUTTON),
                        f"the recorder for {title}")
    focus(settings, pid)
    press(recorder)
    hint = "Press the keys. Escape cancels, Delete clears."
    wait_for(lambda: recorder.description == hint or None, f"the recorder for {title} recording")
    keys("key", combination)
    wait_for(lambda: named(app, f"Shortcut for {title}: {text}", pyatspi.ROLE_PUSH_BUTTON),
             f"{text} recorded for {title}")


def keyboard(app, pid):
    """The shortcuts and the search through the X server's real keyboard. Twin Clocks goes behind
    the chevron, so its icons (LON, TYO) leave the simulated Mac's bar; the recorded shortcut,
    pressed while the Mac's window has the keyboard, is all that brings them back (revealing by
    pointer is off, and so is hiding again, so nothing takes them away meanwhile). The search opens
    with its own shortcut and lists every item; only the typed query narrows it to TYO, and only
    Return on that result opens a menu headed TYO."""
    settings = named(app, "Velmor Tray", pyatspi.ROLE_FRAME)
    mac = named(app, "Simulated Mac — default.json", pyatspi.ROLE_FRAME)

    def on_bar(title):
        return named(mac, title, pyatspi.ROLE_PUSH_BUTTON)

    press(wait_for(lambda: named(app, "Twin Clocks", pyatspi.ROLE_LIST_ITEM), "the Twin Clocks card"),
          "Move to Expandable menu")
    wait_for(lambda: named(app, "Expand extras", pyatspi.ROLE_PUSH_BUTTON), "grouping applied, collapsed")
    wait_for(lambda: gone(lambda: on_bar("TYO") or on_bar("LON")), "Twin Clocks' icons gone from the bar")

    # Shown, though below the window's fold: Qt reports such controls as not showing, and a press
    # reaches them all the same.
    preferences = wait_for(lambda: named(app, "Preferences", pyatspi.ROLE_CHECK_BOX), "Preferences")
    if not having(preferences, pyatspi.STATE_CHECKED):
        press(preferences)
    wait_for(lambda: having(preferences, pyatspi.STATE_CHECKED), "the Preferences shown")
    never = wait_for(lambda: named(app, "Off", pyatspi.ROLE_RADIO_BUTTON), "Hide revealed icons again: Off")
    press(never)
    wait_for(lambda: having(never, pyatspi.STATE_CHECKED), "Off chosen")

    record(app, settings, pid, "Show or hide the expandable menu", "ctrl+alt+super+h", "⌃⌥⌘H")
    focus(mac, pid)
    # A tray in the middle of a change lets a toggle go, as it lets a click on the chevron go.
    wait_for(lambda: named(app, "Grouping active", pyatspi.ROLE_LABEL, pyatspi.ROLE_STATIC), "the tray idle")
    keys("key", "ctrl+alt+super+h")
    wait_for(lambda: on_bar("TYO") and on_bar("LON"), "Twin Clocks' icons back after ⌃⌥⌘H")
    wait_for(lambda: named(app, "Collapse extras", pyatspi.ROLE_PUSH_BUTTON), "the section expanded")

    record(app, settings, pid, "Search the menu bar", "ctrl+alt+super+f", "⌃⌥⌘F")
    focus(mac, pid)
    if having(named(app, "Search Menu Bar", pyatspi.ROLE_FRAME), pyatspi.STATE_SHOWING):
        sys.exit("the search shows before its shortcut is pressed")
    keys("key", "ctrl+alt+super+f")
    search = wait_for(lambda: having(named(app, "Search Menu Bar", pyatspi.ROLE_FRAME), pyatspi.STATE_SHOWING),
                      "the search after ⌃⌥⌘F")
    # The search takes the keyboard itself: the check gives it no focus.
    field = wait_for(lambda: having(named(search, "Search menu bar items", pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY),
                                    pyatspi.STATE_FOCUSED), "the search field with the keyboard")

    def results():
        listed = named(search, "Menu bar items", pyatspi.ROLE_LIST)
        return [node.name for node in descendants(listed) if role(node) == pyatspi.ROLE_PUSH_BUTTON]

    everything = wait_for(lambda: results() or None, "the search's results")
    if len(everything) < 2:
        sys.exit(f"the search lists too little before a query: {everything!r}")
    keys("type", "tyo")
    wait_for(lambda: field.queryText().getText(0, -1) == "tyo" and field.description == "1 item" or None,
             "the typed query and its announced count")
    found = results()
    if len(found) != 1 or not found[0].startswith("TYO, Twin Clocks"):
        sys.exit(f"unexpected results for “tyo”: {found!r}")

    entry = (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_LIST_ITEM)
    if named(app, "TYO", *entry):
        sys.exit("a menu headed TYO is open before Return")
    keys("key", "Return")
    wait_for(lambda: named(app, "TYO", *entry) and named(app, "Open Twin Clocks", *entry),
             "TYO's menu opened by Return")
    wait_for(lambda: gone(lambda: having(search, pyatspi.STATE_SHOWING)), "the search closed")


def choose(app, menu, item):
    # Qt reports the drawn menus' entries as menu items or list items.
    entry = (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_LIST_ITEM)
    press(wait_for(lambda: named(app, menu, *entry), f"the {menu} menu"))
    press(wait_for(lambda: named(app, item, *entry), item))


def below_bar(binary):
    """The notched laptop: an icon behind the camera housing, reached through the bar below."""
    scenario = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scenarios", "notched.json")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    process = subprocess.Popen([binary, "--scenario", scenario], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        app = wait_for(application, "the app")
        wait_for(lambda: named(app, "Simulated Mac — notched.json", pyatspi.ROLE_FRAME), "the notched Mac's window")
        wait_for(lambda: starting(app, "2 menu bar icons of Word Count and Lampshade are behind the camera housing"),
                 "the organizer's notice")
        press(wait_for(lambda: named(app, "Show below menu bar", pyatspi.ROLE_PUSH_BUTTON), "Show below menu bar"))
        bar = wait_for(lambda: named(app, "Hidden menu bar items", pyatspi.ROLE_TOOL_BAR), "the bar below the menu bar")
        entries = wait_for(lambda: [node for node in descendants(bar)
                                    if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and node.name] or None,
                           "the bar's entries")
        names = [entry.name for entry in entries]
        if names != ["Word Count — 1 204", "Lampshade — Night shift"]:
            sys.exit(f"unexpected entries below the menu bar: {names!r}")
        press(entries[0])
        entry = (pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_LIST_ITEM)
        wait_for(lambda: named(app, "Quit Word Count", *entry), "the menu of the pressed entry")
    finally:
        process.terminate()
        process.wait(timeout=10)


def main():
    binary = sys.argv[1]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    process = subprocess.Popen([binary], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        app = wait_for(application, "the app")
        wait_for(lambda: named(app, "Simulated Mac — default.json", pyatspi.ROLE_FRAME), "the simulated Mac's window")
        wait_for(lambda: named(app, "Velmor Tray", pyatspi.ROLE_FRAME), "the settings window")
        wait_for(lambda: named(app, "Velmor Tray", pyatspi.ROLE_PUSH_BUTTON), "the chevron, a button named Velmor Tray")
        press(wait_for(lambda: named(app, "Launch Clip Hoarder", pyatspi.ROLE_PUSH_BUTTON), "Launch Clip Hoarder"))
        wait_for(lambda: named(app, "Quit Clip Hoarder", pyatspi.ROLE_PUSH_BUTTON), "Quit Clip Hoarder after pressing Launch")
        organize(app)
        keyboard(app, process.pid)

        choose(app, "Help", "Report a bug…")
        wait_for(lambda: named(app, "Feedback", pyatspi.ROLE_FRAME), "the Feedback window")
        for name, role in (("Bug report", pyatspi.ROLE_RADIO_BUTTON), ("Feedback", pyatspi.ROLE_RADIO_BUTTON),
                           ("Your message", pyatspi.ROLE_TEXT), ("Copy report", pyatspi.ROLE_PUSH_BUTTON),
                           ("Send report", pyatspi.ROLE_PUSH_BUTTON),
                           ("App details included", pyatspi.ROLE_PUSH_BUTTON)):
            wait_for(lambda: named(app, name, role), f"{name} in the Feedback window")

        choose(app, "Velmor Tray", "Update Settings…")
        wait_for(lambda: named(app, "Update Settings", pyatspi.ROLE_FRAME), "the Update Settings window")
        for name, role in (("Launch at login", pyatspi.ROLE_CHECK_BOX),
                           ("Automatically check for updates", pyatspi.ROLE_CHECK_BOX),
                           ("Check for Updates…", pyatspi.ROLE_PUSH_BUTTON),
                           ("Share usage statistics", pyatspi.ROLE_CHECK_BOX),
                           ("About usage statistics and privacy", pyatspi.ROLE_PUSH_BUTTON)):
            wait_for(lambda: named(app, name, role), f"{name} in the Update Settings window")
    finally:
        process.terminate()
        process.wait(timeout=10)
    # The first app leaves the registry before the next one is looked for.
    wait_for(lambda: True if application() is None else None, "the first app gone")
    below_bar(binary)
    print("AT-SPI: windows, controls, presses, the organizer, shortcuts and the search by keyboard, and the bar "
          "below the menu bar all reached")


if __name__ == "__main__":
    main()
