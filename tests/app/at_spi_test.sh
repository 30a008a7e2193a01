#!/usr/bin/env bash
# Runs at_spi_check.py in a private D-Bus session with the accessibility bus started first, as
# Qt's bridge needs (it never registers when the bus comes later). Skips (exit 77) without an X
# server, the AT-SPI packages or xdotool (the check types on the server's keyboard).
set -euo pipefail
binary="$1"
here="$(cd "$(dirname "$0")" && pwd)"
launcher=/usr/libexec/at-spi-bus-launcher
if [[ -z "${DISPLAY:-}" || ! -x "$launcher" ]] || ! command -v dbus-run-session >/dev/null ||
    ! command -v xdotool >/dev/null ||
    ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
    echo "skipped: needs DISPLAY, at-spi2-core, dbus, python3-pyatspi and xdotool"
    exit 77
fi
export NO_AT_BRIDGE=0
exec dbus-run-session -- bash -c "
    '$launcher' --launch-immediately &
    launcher=\$!
    for _ in \$(seq 1 50); do
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
        sleep 0.1
    done
    gsettings set org.gnome.desktop.interface toolkit-accessibility true 2>/dev/null || true
    /usr/bin/python3 '$here/at_spi_check.py' '$binary'
    status=\$?
    kill \$launcher 2>/dev/null || true
    exit \$status"
