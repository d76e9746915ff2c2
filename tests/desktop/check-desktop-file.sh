#!/usr/bin/env bash
# Checks the launcher entry: desktop-file-validate reports no error and no
# warning (hints are allowed: Audio and Utility are both main categories, as
# wanted), and the entry carries what a menu needs.
# Its one action, "Microphone library", starts the program with the library.
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
# The plain start opens no file: Exec is the bare binary, no field codes.
[ "$(value Exec)" = "$binary" ] || fail "Exec is '$(value Exec)', not '$binary'"
[ "$(value Actions)" = "library;" ] || fail "Actions is '$(value Actions)', not 'library;'"
action="[Desktop Action library]"
[ "$(value Name "$action")" = "Microphone library" ] || fail "the action is not named Microphone library"
[ "$(value Exec "$action")" = "$binary $library" ] || fail "the action's Exec is '$(value Exec "$action")'"
[ "$(value Icon)" = "$app_id" ] || fail "Icon is not the theme name $app_id"
[ "$(value Terminal)" = false ] || fail "Terminal is not false"
categories=";$(value Categories)"
for c in Audio Utility; do
  [[ $categories == *";$c;"* ]] || fail "Categories lack $c"
done
echo "launcher entry $file: ok"
