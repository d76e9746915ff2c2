#!/usr/bin/env bash
# Runs a program under Orca on a virtual X display, silently, for trying it
# as a screen-reader user would (see docs/accessibility.md).
#   orca-session.sh OUTDIR PROGRAM [ARGS...]
# Writes OUTDIR/display (the X display to send keys to with xdotool) and
# OUTDIR/orca.log (Orca's debug log, one "SPEECH OUTPUT:" line per phrase,
# written line by line). Ends when the program ends or OUTDIR/stop appears.
set -euo pipefail
out=$(mkdir -p "$1" && cd "$1" && pwd); shift
here=$(cd "$(dirname "$0")" && pwd)
command -v orca >/dev/null || { echo "Orca is not installed (apt-get install orca)" >&2; exit 2; }
rm -f "$out/stop" "$out/display" "$out/orca.log"

# Orca's settings: the silent speech server, the desktop keyboard layout.
mkdir -p "$out/orca-prefs"
cat > "$out/orca-prefs/user-settings.conf" <<'JSON'
{
  "general": {"speechServerFactory": "silentspeech", "speechFactoryModules": ["silentspeech"],
              "enableSpeech": true, "keyboardLayout": 1, "enableBraille": false},
  "profiles": {"default": {"profile": ["Default", "default"],
                           "speechServerFactory": "silentspeech", "speechFactoryModules": ["silentspeech"],
                           "enableSpeech": true, "keyboardLayout": 1, "enableBraille": false}},
  "pronunciations": {}, "keybindings": {}
}
JSON
# A copy of Orca's launcher whose log is line-buffered (readable while Orca
# runs) and that does not refuse to start when another user's session runs
# an Orca too.
sed -e "s/open(args.debug_file, 'w')/open(args.debug_file, 'w', buffering=1)/" \
    -e 's/^    if otherOrcas():$/    if False:/' /usr/bin/orca > "$out/orca-launcher"

. "$here/../xvfb.sh"
trap xvfb_stop EXIT
xvfb_start "$out"
echo "$DISPLAY" > "$out/display"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb GTK_USE_PORTAL=0 NO_AT_BRIDGE=0
export PYTHONPATH="$here${PYTHONPATH:+:$PYTHONPATH}"
dbus-run-session -- bash -c '
  out=$1; shift
  /usr/libexec/at-spi-bus-launcher --launch-immediately & bus_pid=$!
  sleep 1
  /usr/bin/python3 "$out/orca-launcher" -u "$out/orca-prefs" --debug-file="$out/orca.log" >"$out/orca.stdout" 2>&1 &
  orca_pid=$!
  for _ in $(seq 1 100); do grep -aq "SPEECH OUTPUT" "$out/orca.log" 2>/dev/null && break; sleep 0.1; done
  "$@" & app_pid=$!
  while kill -0 "$app_pid" 2>/dev/null && [ ! -e "$out/stop" ]; do sleep 0.2; done
  kill "$app_pid" 2>/dev/null || true
  # Orca does not always end on SIGTERM.
  kill "$orca_pid" 2>/dev/null || true
  for _ in $(seq 1 20); do kill -0 "$orca_pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$orca_pid" 2>/dev/null || true
  kill "$bus_pid" 2>/dev/null || true
  wait 2>/dev/null || true
' session "$out" "$@"
