#!/usr/bin/env bash
# The program's command line as a shell sees it: --help and --version on
# standard output with status 0; a wrong line a message and the usage on
# standard error with status 2, standard output empty. None needs a display.
# Usage: command-line.sh PHONOLITH
set -euo pipefail
bin=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
unset DISPLAY WAYLAND_DISPLAY

run() { rc=0; "$bin" "$@" >"$out" 2>"$err" || rc=$?; }

run --help
[ $rc -eq 0 ] || fail "--help: status $rc"
grep -q '^Usage: phonolith \[OPTION\]... \[FILE\]$' "$out" || fail "--help: no usage on standard output"
[ ! -s "$err" ] || fail "--help wrote to standard error"

run --version
[ $rc -eq 0 ] || fail "--version: status $rc"
grep -q '^phonolith (Phonolith) [0-9]' "$out" || fail "--version: no version line"
[ ! -s "$err" ] || fail "--version wrote to standard error"

# A style sheet that is no readable file of at most 1 MiB never reaches the
# toolkit, which would read /dev/zero until memory runs out.
for line in "--bogus" "-x" "a.dat b.dat" "-stylesheet /dev/zero" "--stylesheet=/nonexistent.qss"; do
  # shellcheck disable=SC2086
  run $line
  [ $rc -eq 2 ] || fail "'$line': status $rc, not 2"
  [ ! -s "$out" ] || fail "'$line' wrote to standard output"
  head -n1 "$err" | grep -q '^phonolith: ' || fail "'$line': no one-line message first"
  grep -q '^Usage: phonolith' "$err" || fail "'$line': no usage on standard error"
done
echo "command line: ok"
