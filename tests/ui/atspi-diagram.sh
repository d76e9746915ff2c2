#!/usr/bin/env bash
# The level diagram as a screen reader reads it: starts the program on a
# virtual X display inside its own D-Bus session with accessibility on, and
# checks the diagram's children over AT-SPI (atspi_diagram.py).
#   atspi-diagram.sh PATH/TO/phonolith
set -euo pipefail
app=$1
here=$(cd "$(dirname "$0")" && pwd)

display=""
for n in $(seq 150 199); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "No free X display number" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
export DISPLAY="$display"
for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done

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
