#!/usr/bin/env bash
# Checks the launcher entry: desktop-file-validate reports no error and no
# warning (hints are allowed: Audio and Utility are both main categories, as
# wanted), and the entry carries what a menu needs.
# It starts the program with the microphone library; its one action,
# "Without Microphone Library", starts the plain window.
# Usage: check-desktop-file.sh FILE.desktop APP_ID BINARY LIBRARY
set -euo pipefail
file=$1 app_id=$2 binary=$3 library=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$(basename "$file" .desktop)" = "$app_id" ] || fail "file name is not $app_id.desktop"

out=$(desktop-file-validate "$file" 2>&1) || { echo "$out"; fail "desktop-file-validate"; }
[ -z "$out" ] || echo "$out"
# It exits 0 on errors it calls "fatal in the future"; count those too.
if grep -E ': (error|warning)' <<<"$out" >/dev/null; then fail "desktop-file-validate found faults"; fi

# The value of KEY in GROUP ([Desktop Entry] when not given).
value() {
  awk -v key="$1" -v want="${2:-[Desktop Entry]}" '
    /^\[/ { group = $0; next }
    group == want && index($0, key "=") == 1 { print substr($0, length(key) + 2); exit }
  ' "$file"
}

for key in Name GenericName Comment; do
  [ -n "$(value "$key")" ] || fail "$key is missing"
done
[ "$(value Type)" = Application ] || fail "Type is not Application"
# The main entry opens the library in chain mode; no field codes, so a file
# dropped on the launcher is not passed on.
[ "$(value Exec)" = "$binary --chain $library" ] || fail "Exec is '$(value Exec)', not '$binary --chain $library'"
[ "$(value Actions)" = "plain;" ] || fail "Actions is '$(value Actions)', not 'plain;'"
action="[Desktop Action plain]"
[ "$(value Name "$action")" = "Without Microphone Library" ] || fail "the action is named '$(value Name "$action")'"
# The plain window: the bare binary, no file.
[ "$(value Exec "$action")" = "$binary" ] || fail "the action's Exec is '$(value Exec "$action")', not '$binary'"
[ "$(value Icon)" = "$app_id" ] || fail "Icon is not the theme name $app_id"
[ "$(value Terminal)" = false ] || fail "Terminal is not false"
categories=";$(value Categories)"
for c in Audio Utility; do
  [[ $categories == *";$c;"* ]] || fail "Categories lack $c"
done
echo "launcher entry $file: ok"
