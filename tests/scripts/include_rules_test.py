#!/usr/bin/env python3
"""The rooms of src/ and the rooms each may include from, as src/CMakeLists.txt links them.

An include across a wall that the links do not open compiles today (every library sees all of
src/) and fails later on a build that links less, so it is caught here instead.
Usage: include_rules_test.py SOURCE_DIR
"""
import pathlib
import re
import sys

BASE = {"foundation"}
SEAM = BASE | {"platform"}
SUITE = SEAM | {"telemetry", "suite_ui"}
ENGINE = SUITE | {"tray_visibility", "distribution", "tray"}
VIEWS = {"controls", "suite_ui/views", "distribution/views"}
SIMULATOR = {"simulated_mac", "simulated_mac/updater", "simulated_mac/views"}

# Each room and the rooms it may include from (itself among them). A file belongs to the longest
# room its path starts with: simulated_mac/views/x.h is in "simulated_mac/views".
ROOMS = {
    "foundation": BASE,
    "platform": SEAM,
    "mac/portable": SEAM | {"mac/portable"},
    "mac": SEAM | {"mac", "mac/portable"},
    "simulated_mac": SEAM | {"simulated_mac"},
    "simulated_mac/updater": SEAM | {"simulated_mac/updater"},
    "simulated_mac/views": SEAM | SIMULATOR | {"controls"},
    "tray_visibility": SEAM | {"tray_visibility"},
    "telemetry": SEAM | {"telemetry"},
    "suite_ui": SUITE,
    "suite_ui/views": SUITE | {"controls", "suite_ui/views"},
    "distribution": SUITE | {"distribution"},
    "distribution/views": SUITE | VIEWS | {"distribution"},
    "tray": ENGINE,
    "controls": {"controls"},
    "settings_window": ENGINE | VIEWS | {"settings_window"},
    # The composition root builds everything but the developer harness.
    "app": ENGINE | VIEWS | SIMULATOR | {"settings_window", "mac", "app"},
    "harness": ENGINE | VIEWS | SIMULATOR | {"settings_window", "app", "harness"},
}

INCLUDE = re.compile(r'^\s*#\s*(?:include|import)\s+"([^"]+)"', re.M)


def room_of(path):
    """The longest room `path` (relative to src/) lies in."""
    parts = path.split("/")
    for length in range(len(parts) - 1, 0, -1):
        candidate = "/".join(parts[:length])
        if candidate in ROOMS:
            return candidate
    return None


def main():
    src = pathlib.Path(sys.argv[1]) / "src"
    crossings = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in {".h", ".cpp", ".mm"}:
            continue
        relative = path.relative_to(src).as_posix()
        room = room_of(relative)
        if room is None:
            crossings.append(f"{relative}: in no room of this check")
            continue
        for included in INCLUDE.findall(path.read_text(encoding="utf-8", errors="replace")):
            target = room_of(included)
            if target is not None and target not in ROOMS[room]:
                crossings.append(f"{relative}: {room}/ includes {included}")
    for crossing in crossings:
        print(crossing)
    return 1 if crossings else 0


if __name__ == "__main__":
    sys.exit(main())
