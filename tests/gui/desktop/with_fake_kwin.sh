#!/usr/bin/env bash
# Runs a test against the stand-in KWin layout service, on a private session bus:
#   dbus-run-session -- with_fake_kwin.sh TEST [ARGS...]
set -euo pipefail
/usr/bin/python3 "$(dirname "$0")/fake_kwin_layouts.py" &
service=$!
trap 'kill $service 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.kde.keyboard 2>/dev/null | grep -q true && break
  sleep 0.05
done
"$@"
