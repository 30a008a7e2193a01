#!/usr/bin/env bash
# An installed velmor-tray runs without the source tree's help: it finds its scenarios and the
# `defaults` stand-in from its own folder, also when started through PATH from anywhere. The
# installed default scenario is swapped for one only this test knows, so a copy that still read
# the source tree's would show the wrong app.
set -euo pipefail
build="$1"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for file in bin/velmor-tray bin/velmor-defaults share/velmor-tray/scenarios/default.json share/velmor-tray/scenarios/demo.script; do
    [[ -e "$prefix/$file" ]] || { echo "not installed: $file"; exit 1; }
done
cat >"$prefix/share/velmor-tray/scenarios/default.json" <<'JSON'
{ "apps": [ { "name": "Installed Only", "bundleID": "com.example.installedonly", "pid": 700,
              "extras": [ { "name": "Item-0", "title": "Inst", "width": 24 } ] } ] }
JSON
printf '# nothing but the launch\n' >"$prefix/share/velmor-tray/scenarios/demo.script"
cd /
output=$(PATH="$prefix/bin:$PATH" QT_QPA_PLATFORM=offscreen velmor-tray --headless)
grep -q "Inst" <<<"$output" || { echo "the installed scenario was not used:"; echo "$output"; exit 1; }
echo "installed: runs from $prefix with its own scenario"
