#!/usr/bin/env bash
# The level diagram as a screen reader reads it: starts the program on a
# virtual X display inside its own D-Bus session with accessibility on, and
# checks the diagram's children over AT-SPI (atspi_diagram.py).
#   atspi-diagram.sh PATH/TO/phonolith
set -euo pipefail
app=$1
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
xvfb_pid=""
trap '[ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true; rm -rf "$work"' EXIT
. "$here/../../tools/xvfb.sh"
xvfb_start "$work"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR
# The program and the client share one session bus, which ends with them.
dbus-run-session -- bash -c '
  "$1" & app_pid=$!
  rc=0
  /usr/bin/python3 "$2" || rc=$?
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  exit "$rc"
' atspi "$app" "$here/atspi_diagram.py"
