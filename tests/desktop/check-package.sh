#!/usr/bin/env bash
# Debian's own checks on a release package, given the .deb and the tree it
# was unpacked into: lintian --pedantic finds no error and no warning (the
# info and pedantic tags it still gives are printed; docs/packaging.md names
# them), the installed launcher entry and metadata validate strictly, the
# manual page renders without warnings, and the installed program carries
# every hardening feature.
# Usage: check-package.sh DEB ROOT MAINTAINER VERSION BUILD_DIR
set -euo pipefail
deb=$1 root=$2 maintainer=$3 version=$4 build=$5
app_id=org.phonolith.Phonolith
fail() { echo "FAIL: $*" >&2; exit 1; }

# As root lintian says on stderr that it should not be; keep only its tags.
# It exits non-zero on an error or warning tag, or when it cannot check.
rc=0
tags=$(lintian --pedantic --display-info --tag-display-limit 0 --fail-on error,warning "$deb" 2>"$root.lintian.err") || rc=$?
echo "lintian --pedantic: ${tags:-no tags}"
[ $rc -eq 0 ] || { grep -v 'root privileges' "$root.lintian.err" || true; fail "lintian (exit $rc)"; }

[ "$(dpkg-deb -f "$deb" Maintainer)" = "$maintainer" ] || fail "Maintainer is not $maintainer"

out=$(desktop-file-validate "$root/usr/share/applications/$app_id.desktop" 2>&1) || { echo "$out"; fail "desktop-file-validate"; }
if grep -E ': (error|warning)' <<<"$out"; then fail "installed launcher entry"; fi
appstreamcli validate --no-net --strict "$root/usr/share/metainfo/$app_id.metainfo.xml" ||
  fail "appstreamcli validate --strict"

bash "$(dirname "$0")/check-manpage.sh" "$root/usr/share/man/man1/phonolith.1.gz" "$version" "$maintainer" \
  /usr/share/phonolith/microphones.dat

# Control-flow protection (x86 CET) needs every object of the program to be
# marked for it, the C runtime's start files included; Debian 12's are not, so
# no program linked here can have it and the check is left out where they lack it.
hardening=()
crt=$(gcc -print-file-name=Scrt1.o)
if [ "$(uname -m)" != x86_64 ] || ! readelf -n "$crt" | grep -q 'IBT'; then hardening+=(--nocfprotection); fi
# Fortify shows only where a call's buffer size is known when compiling;
# hardening-check warns of false alarms when none is: every memcpy, memmove and
# memset here copies into heap buffers of the standard containers. Then every
# compile command must show that fortify was on.
bin=$root/usr/bin/phonolith
report=$(hardening-check --verbose "${hardening[@]}" "$bin") || true
echo "$report"
if ! grep -q 'Fortify Source functions: yes' <<<"$report"; then
  [ -f "$build/compile_commands.json" ] || fail "no compile commands in $build to show fortify"
  unfortified=$(grep '"command"' "$build/compile_commands.json" | grep -vE -- '-D_FORTIFY_SOURCE=[23] .*-O[123s] |-O[123s] .*-D_FORTIFY_SOURCE=[23] ' || true)
  [ -z "$unfortified" ] || { echo "$unfortified"; fail "compiled without -D_FORTIFY_SOURCE and optimisation"; }
  echo "Fortify: every compile command has -D_FORTIFY_SOURCE and optimisation; no call has a size to check"
  hardening+=(--nofortify)
fi
hardening-check --quiet "${hardening[@]}" "$bin" || fail "hardening-check"
if readelf -S "$root/usr/bin/phonolith" | grep -qE '\] \.comment '; then fail "the program keeps its .comment section"; fi
echo "package checks on $(basename "$deb"): ok"
