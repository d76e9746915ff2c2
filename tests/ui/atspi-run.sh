#!/usr/bin/env bash
# Runs an AT-SPI check against the program: starts it on a virtual X display
# (a free one, chosen by Xvfb) inside its own D-Bus session with
# accessibility on, runs the Python client, and ends both.
#   atspi-run.sh PATH/TO/phonolith CHECK.py [ARGS...]
set -euo pipefail
app=$1; shift
script=$1; shift
fdfile=$(mktemp)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -f "$fdfile"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 1 200); do [ -s "$fdfile" ] && break; sleep 0.05; done
[ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$fdfile")"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR
# The program and the client share one session bus, which ends with them.
dbus-run-session -- bash -c '
  app=$1; shift
  "$app" & app_pid=$!
  rc=0
  /usr/bin/python3 "$@" || rc=$?
  kill "$app_pid" 2>/dev/null || true
  wait "$app_pid" 2>/dev/null || true
  exit "$rc"
' atspi "$app" "$script" "$@"
