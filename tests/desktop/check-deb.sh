#!/usr/bin/env bash
# Builds the .deb with CPack from a built tree, unpacks it into a scratch
# root and checks: its control fields and dependencies, that it holds exactly
# the expected files, that the unpacked tree's metadata validates, and that
# the unpacked program, started as the launcher entry starts it, shows its
# window on an X display of its own with the library's first microphone, the
# icon, the window class and the desktop file name the launcher entry goes by.
# With "release" it also runs Debian's own checks on the package
# (check-package.sh), which only an optimised, hardened build passes.
# Usage: check-deb.sh BUILD_DIR WORK_DIR VERSION [release]
set -euo pipefail
build=$1 work=$2 version=$3 release=${4:-}
app_id=org.phonolith.Phonolith
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work"
root=$work/root

# --- build ---------------------------------------------------------------
if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  fail "cpack"
fi
shopt -s nullglob
debs=("$work"/pkg/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one .deb, found ${#debs[@]}"
deb=${debs[0]}
arch=$(dpkg --print-architecture)
[ "$(basename "$deb")" = "phonolith_${version}-1_${arch}.deb" ] || fail "package file is $(basename "$deb")"

# --- control data --------------------------------------------------------
dpkg-deb -I "$deb"
[ "$(dpkg-deb -f "$deb" Package)" = phonolith ] || fail "Package"
[ "$(dpkg-deb -f "$deb" Version)" = "${version}-1" ] || fail "Version"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$arch" ] || fail "Architecture"
depends=$(dpkg-deb -f "$deb" Depends)
has_dep() { [[ ", $depends," =~ ,\ $1[\ ,] ]]; }
for p in libqt6widgets6 libqt6gui6 libqt6core6 fonts-liberation2 fonts-wine; do
  has_dep "$p" || fail "Depends lacks $p: $depends"
done
# The package holding Qt's xcb platform plugin, which no linker sees.
xcb_owner=$(dpkg -S 'qt6/plugins/platforms/libqxcb.so' | head -n1 | cut -d: -f1)
has_dep "$xcb_owner" || fail "Depends lacks $xcb_owner, which holds the xcb platform plugin"
# Every dependency, versions included, is satisfied by this Debian system.
dpkg-checkbuilddeps -d "$depends" /dev/null || fail "dependencies not satisfiable here"

# --- files ---------------------------------------------------------------
dpkg -x "$deb" "$root"
expected=(
  usr/bin/phonolith
  usr/share/applications/$app_id.desktop
  usr/share/doc/phonolith/changelog.Debian.gz
  usr/share/doc/phonolith/copyright
  usr/share/icons/hicolor/scalable/apps/$app_id.svg
  usr/share/lintian/overrides/phonolith
  usr/share/man/man1/phonolith.1.gz
  usr/share/metainfo/$app_id.metainfo.xml
  usr/share/phonolith/microphones.dat
)
sizes=(16 32 48 64 128 256)
for n in "${sizes[@]}"; do expected+=("usr/share/icons/hicolor/${n}x${n}/apps/$app_id.png"); done
want=$(printf '%s\n' "${expected[@]}" | sort)
have=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)
if [ "$want" != "$have" ]; then
  diff <(echo "$want") <(echo "$have") || true
  fail "the package's files differ from the expected ones (< expected, > found)"
fi
[ -x "$root/usr/bin/phonolith" ] || fail "usr/bin/phonolith is not executable"
for n in "${sizes[@]}"; do
  png=$root/usr/share/icons/hicolor/${n}x${n}/apps/$app_id.png
  [ "$(/usr/bin/identify -format '%wx%h' "$png")" = "${n}x${n}" ] || fail "$png is not ${n}x${n}"
done
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/$app_id.svg" || fail "scalable icon is not SVG"
desktop-file-validate "$root/usr/share/applications/$app_id.desktop" >/dev/null || fail "installed launcher entry"
# Metadata, launcher entry and icon checked together where a software centre
# finds them.
appstreamcli validate-tree --no-net "$root" || fail "appstreamcli validate-tree"
# The package history's newest entry is this version, by the maintainer.
maintainer=$(dpkg-deb -f "$deb" Maintainer)
changelog=$(gzip -dc "$root/usr/share/doc/phonolith/changelog.Debian.gz")
[[ $(head -n1 <<<"$changelog") == "phonolith (${version}-1) "* ]] || fail "changelog starts: $(head -n1 <<<"$changelog")"
[[ $changelog == *" -- $maintainer  "* ]] || fail "changelog is not signed by $maintainer"
[ "$release" != release ] || bash "$(dirname "$0")/check-package.sh" "$deb" "$root" "$maintainer" "$version" "$build"

# --- the unpacked program starts and shows its window --------------------
xvfb_pid="" app_pid=""
cleanup() {
  [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true
  xvfb_stop
}
trap cleanup EXIT
. "$(dirname "$0")/../../tools/xvfb.sh"
xvfb_start "$work" || fail "Xvfb did not start"
mkdir -m 700 "$work/runtime"
# The launcher entry's own command, with the unpacked root in place of /:
# the program opens the installed library in chain mode and loads its first
# microphone.
entry=$root/usr/share/applications/$app_id.desktop
read -r -a command <<<"$(sed -n '/^\[Desktop Entry\]/,/^\[Desktop Action/ s/^Exec=//p' "$entry")"
[ "${command[0]}" = phonolith ] || fail "the launcher entry runs '${command[0]}'"
command[0]=$root/usr/bin/phonolith
for i in "${!command[@]}"; do [[ ${command[i]} != /usr/* ]] || command[i]=$root${command[i]}; done
library=$root/usr/share/phonolith/microphones.dat
[ "${command[*]:1}" = "--chain $library" ] || fail "the launcher entry runs '${command[*]:1}', not the chain with the library"
first=$(sed -n 's/^\[\(.*\)\]$/\1/p' "$library" | head -n1)
# No session bus: keep Qt from launching a D-Bus daemon that outlives it.
env -u QT_QPA_PLATFORM DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent XDG_RUNTIME_DIR="$work/runtime" \
  "${command[@]}" >"$work/app.log" 2>&1 &
app_pid=$!
win=$(timeout 30 xdotool search --sync --onlyvisible --name "^Phonolith" | head -n1) || true
[ -n "$win" ] || { cat "$work/app.log"; fail "no visible Phonolith window on $DISPLAY"; }
kill -0 "$app_pid" || fail "the program exited"
title=$(xdotool getwindowname "$win")
echo "window $win: $title"
[ "$title" = "Phonolith - Corvanne - \"$first\"" ] || fail "the window shows '$title', not the library's first microphone"
[ "$(xdotool getwindowpid "$win")" = "$app_pid" ] || fail "the window belongs to another process"

# The launcher's StartupWMClass must be the window's class for docks to
# match the window with the launcher entry.
wm_class=$(xprop -id "$win" WM_CLASS)
wmclass_entry=$(sed -n 's/^StartupWMClass=//p' "$root/usr/share/applications/$app_id.desktop")
[[ $wm_class == *"\"$wmclass_entry\""* ]] || fail "StartupWMClass $wmclass_entry is not in $wm_class"
# The window icon: every PNG size, the hand-drawn 16 px one included.
# -len: the default cuts the property off after the first few images.
xprop -len 4000000 -id "$win" _NET_WM_ICON >"$work/icon.txt"
for n in "${sizes[@]}"; do
  grep -q "Icon ($n x $n)" "$work/icon.txt" || fail "window icon has no ${n}x${n} image"
done
# No size limits: the window gives the window manager no minimum size.
hints=$(xprop -id "$win" WM_NORMAL_HINTS)
if grep -qi 'minimum size' <<<"$hints"; then echo "$hints"; fail "the window asks for a minimum size"; fi
echo "package $(basename "$deb"): ok"
