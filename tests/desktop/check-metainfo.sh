#!/usr/bin/env bash
# Checks the AppStream metadata: appstreamcli validates it strictly (without
# network), it names the launcher entry and the binary, its newest release is
# the project version, its licence is the one in LICENSE. With a HOMEPAGE it
# names it and the screenshot published below it, at the size of the one kept
# in docs/; with none (empty) it names no web address at all.
# Usage: check-metainfo.sh FILE.metainfo.xml APP_ID BINARY VERSION LICENSE SCREENSHOT HOMEPAGE
set -euo pipefail
file=$1 app_id=$2 binary=$3 version=$4 license=$5 screenshot=$6 homepage=$7
fail() { echo "FAIL: $*" >&2; exit 1; }

[ "$(basename "$file" .metainfo.xml)" = "$app_id" ] || fail "file name is not $app_id.metainfo.xml"
appstreamcli validate --no-net --strict "$file" || fail "appstreamcli validate"

# The text of the first <TAG ...>text</TAG> in the file.
text() { sed -n "s|.*<$1\( [^>]*\)\{0,1\}>\([^<]*\)</$1>.*|\2|p" "$file" | head -n1; }

[ "$(text id)" = "$app_id" ] || fail "id is not $app_id"
[ "$(text launchable)" = "$app_id.desktop" ] || fail "launchable is not $app_id.desktop"
[ "$(text binary)" = "$binary" ] || fail "provided binary is not $binary"
grep -q '<content_rating type="oars-1.1"' "$file" || fail "no OARS content rating"

newest=$(sed -n 's|.*<release version="\([^"]*\)".*|\1|p' "$file" | head -n1)
[ "$newest" = "$version" ] || fail "newest release is '$newest', the project is $version"

[ "$(text project_license)" = MIT ] || fail "project_license is not MIT"
[ "$(head -n1 "$license")" = "MIT License" ] || fail "$license is not the MIT licence"

if [ -z "$homepage" ]; then
  if grep -E 'https?://' "$file"; then fail "no homepage is set, yet the metadata names a web address"; fi
  echo "metainfo $file (no homepage): ok"
  exit 0
fi
[ "$(text url)" = "$homepage" ] || fail "homepage is '$(text url)', not $homepage"
# <image type="source" width="W" height="H">URL</image>
image=$(grep -o '<image [^>]*>[^<]*</image>' "$file" | head -n1)
[ -n "$image" ] || fail "no screenshot image"
[[ $image == *">${homepage%/}/screenshots/main-window.png<"* ]] || fail "screenshot is not below the homepage: $image"
w=$(sed -n 's|.* width="\([0-9]*\)".*|\1|p' <<<"$image")
h=$(sed -n 's|.* height="\([0-9]*\)".*|\1|p' <<<"$image")
[ -f "$screenshot" ] || fail "$screenshot is missing"
actual=$(/usr/bin/identify -format '%wx%h' "$screenshot")
[ "${w}x${h}" = "$actual" ] || fail "metainfo states ${w}x${h}, $screenshot is $actual"
echo "metainfo $file: ok"
