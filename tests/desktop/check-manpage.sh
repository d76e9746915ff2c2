#!/usr/bin/env bash
# Checks the manual page (plain or gzipped): groff renders it without a single
# warning (-ww), so does `man -l` as lintian runs it, and the rendered page has
# its sections and says what a user must know: FILE, --help and --version, the
# microphone library's path, no files written, the fonts, where to report
# problems.
# Usage: check-manpage.sh PAGE VERSION MAINTAINER LIBRARY
set -euo pipefail
page=$1 version=$2 maintainer=$3 library=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

src=$(mktemp) err=$(mktemp)
trap 'rm -f "$src" "$err"' EXIT
case $page in
  *.gz) gzip -dc "$page" >"$src" ;;
  *) cp "$page" "$src" ;;
esac

export LC_ALL=C.UTF-8
# One line per paragraph and no hyphenation, so the texts below are found whole.
text=$(groff -ww -man -Tutf8 -rLL=2000n -rHY=0 "$src" 2>"$err" | col -bx)
[ ! -s "$err" ] || { cat "$err"; fail "groff -ww warns"; }
# man-db's own run, with the options lintian gives it.
MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" >/dev/null 2>"$err"
[ ! -s "$err" ] || { cat "$err"; fail "man -l warns"; }

for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES FONTS "REPORTING BUGS"; do
  grep -q "^$section\$" <<<"$text" || fail "no section $section"
done
# One line of running text per check: the page wraps at will.
flat=$(tr -s ' \n' '  ' <<<"$text")
for want in "phonolith - calculator for microphone levels" "Phonolith $version" \
            "phonolith [FILE]" "--help" "--version" "$library" "writes no file" "Tahoma" \
            "fonts-wine" "fonts-liberation2" "$maintainer"; do
  [[ $flat == *"$want"* ]] || fail "the page does not say: $want"
done
echo "manual page $page: ok"
