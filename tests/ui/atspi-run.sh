#!/usr/bin/env bash
# Runs an AT-SPI check against the program: starts it on a virtual X display
# (a free one, chosen by Xvfb) inside its own D-Bus session with
# accessibility on, runs the Python client, and ends both.
#   atspi-run.sh PATH/TO/phonolith CHECK.py [ARGS...]
set -euo pipefail
app=$1; shift
here=$(cd "$(dirname "$0")" && pwd)

work=$(mktemp -d)
xvfb_pid=""
trap 'xvfb_stop; rm -rf "$work"' EXIT
. "$here/../../tools/xvfb.sh"
xvfb_start "$work"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR
# The program and the client share one session bus, which ends with them.
rc=0
dbus-run-session -- bash -c '
  app=$1; shift
  "$app" & app_pid=$!
  rc=0
  /usr/bin/python3 "$@" || rc=$?
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  exit "$rc"
' atspi "$app" "$@" || rc=$?
if [ "$rc" -ne 0 ]; then
  echo "--- Xvfb on $DISPLAY (pid $xvfb_pid, $(kill -0 "$xvfb_pid" 2>/dev/null && echo running || echo gone)):" >&2
  cat "$work/xvfb.log" >&2
  ls -la /tmp/.X11-unix >&2 || true
fi
exit "$rc"
