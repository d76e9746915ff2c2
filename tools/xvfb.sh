# Sourced by the scripts that need an X server of their own (bash).
#   xvfb_start WORKDIR [WIDTHxHEIGHTxDEPTH]
# starts Xvfb on a display number it picks itself (-displayfd, so two runs
# never race for one number), waits until the server answers (-noreset: the
# server does not reset when that first client leaves, which would refuse
# the program's connection for a moment), and sets
# DISPLAY and xvfb_pid. The caller ends it with xvfb_stop, which waits for the
# server to exit: a server still shutting down removes the socket of the same
# display number, which the next server may already hold.
xvfb_start() {
  local work=$1 screen=${2:-1280x1024x24} n
  : >"$work/xvfb.display"
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$work/xvfb.display" >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 300); do
    [ -s "$work/xvfb.display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  n=$(tr -d '[:space:]' <"$work/xvfb.display")
  if [ -z "$n" ]; then
    echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$n"
  for _ in $(seq 1 300); do
    xdpyinfo >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "Xvfb on $DISPLAY does not answer:" >&2; cat "$work/xvfb.log" >&2
  return 1
}

xvfb_stop() {
  [ -n "${xvfb_pid:-}" ] || return 0
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  xvfb_pid=""
}
