#!/usr/bin/env bash
# The installer under Wine, in a fresh 64-bit prefix of its own:
#   run_installer_tests.sh SETUP_EXE
# SETUP_EXE is the 32-bit vamuMapserver-<version>-setup.exe or the 64-bit
# vamuMapserver-<version>-x64-setup.exe. Exit status 77 (skipped) where
# this machine cannot run Wine programs of that width.
# - silent install with /HOSTDIR= naming a host folder without MAPS: the
#   files under Program Files (x86) (Program Files for the 64-bit one),
#   both ProgIDs, the class and the type library in the registry view of
#   the DLL's width, the Add/Remove Programs entry with the DLL's version,
#   the MAPS folder made;
# - vamu-host.exe from the install folder draws a map through the
#   registered DLL;
# - silent uninstall: no file of ours left, the registry (HKLM\Software and
#   HKCU\Software, both views) as before the install, the operator's files
#   in MAPS untouched; a MAPS folder the installer made and nobody used is
#   taken back; the user's cached map tiles removed, their settings kept.
set -euo pipefail

setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
version=$(basename "$setup" | sed -E 's/^vamuMapserver-(.*)-setup\.exe$/\1/; s/-x64$//')
[ -f "$setup" ] || { echo "missing $setup: build the mingw-i686 preset first" >&2; exit 1; }

export WINEPREFIX=$(dirname "$setup")/wine-installer
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wine64=$(command -v wine64 || echo /usr/lib/wine/wine64)
drive=$WINEPREFIX/drive_c
if [[ $setup == *-x64-setup.exe ]]; then
  run=$wine64 folder='Program Files' view='' key='vamuMapserver (64-bit)'
else
  run=wine folder='Program Files (x86)' view='WOW6432Node\' key='vamuMapserver'
fi
installed="$drive/$folder/vamuMapserver"
winfolder="C:\\$folder\\vamuMapserver"
if ! "$run" --version >/dev/null 2>&1; then
  echo "installer: skipped, this machine cannot run $(basename "$run") (Wine programs of this width)"
  exit 77
fi
work=$(mktemp -d)

shutdown() { wineserver -k 2>/dev/null || true; }
trap 'shutdown; rm -rf "$work"' EXIT

passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@" >/dev/null 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $what"
  fi
}

# A command under a virtual display; Wine is left to finish every process
# (the uninstaller runs on from a copy of itself) and save the registry.
on_display() {
  timeout -k 10 "${VAMU_WINE_TIMEOUT:-300}" xvfb-run -a -n 210 \
    bash -c '"$@"; status=$?; wineserver -w; exit $status' on_display "$@"
}

# The registry as text, both views, without the values Wine changes by
# itself from run to run.
export_registry() {
  local out=$1 key
  : >"$out"
  for key in 'HKLM\Software' 'HKCU\Software'; do
    on_display "$wine64" reg export "$key" "C:\\reg.txt" /y >/dev/null
    iconv -f UTF-16LE -t UTF-8 "$drive/reg.txt" | tr -d '\r' >>"$out"
    rm -f "$drive/reg.txt"
  done
}

# The keys (not values) present in the second export but not the first.
new_keys() { comm -13 <(grep '^\[' "$1" | sort) <(grep '^\[' "$2" | sort); }

shutdown
rm -rf "$WINEPREFIX"
timeout -k 10 600 "$run" wineboot -i >/dev/null 2>&1
wineserver -w

# The host's folders: one without MAPS, for the installer to make it, one
# whose MAPS holds the operator's own map.
mkdir -p "$drive/UIV" "$drive/UIV2/MAPS"
printf 'the operator'"'"'s map\r\n' >"$drive/UIV2/MAPS/mine.map"
cp "$drive/UIV2/MAPS/mine.map" "$work/mine.map"
export_registry "$work/before.reg"

on_display "$run" "$setup" /S '/HOSTDIR=C:\UIV'
check "the DLL installed" test -s "$installed/vamuMapserver.dll"
check "vamu-host.exe installed" test -s "$installed/vamu-host.exe"
check "the uninstaller written" test -s "$installed/uninstall.exe"
check "MAPS made in the host's folder" test -d "$drive/UIV/MAPS"
export_registry "$work/installed.reg"
new_keys "$work/before.reg" "$work/installed.reg" >"$work/ours"
check "the ProgID vamuMapserver.clsMapServ" grep -qi '\\Classes\\vamuMapserver\.clsMapServ\\CLSID\]' "$work/ours"
check "the ProgID vamuMapserver.clsMapServerEvents" \
  grep -qi '\\Classes\\vamuMapserver\.clsMapServerEvents\\CLSID\]' "$work/ours"
check "the type library" grep -qiF "Software\\${view}Classes\\TypeLib\\{71887815-974C-45CD-8D35-E9583A1FCAC0}" "$work/ours"
check "the server in its width's view" \
  grep -qiF "Software\\${view}Classes\\CLSID\\{AC89BF8E-8678-4FBB-995A-922099457A89}\\InprocServer32]" "$work/ours"
check "the Add/Remove Programs entry" \
  grep -qiF "Software\\${view}Microsoft\\Windows\\CurrentVersion\\Uninstall\\$key]" "$work/ours"
check "DisplayVersion $version" grep -qx "\"DisplayVersion\"=\"$version\"" "$work/installed.reg"

on_display "$run" "$winfolder\\vamu-host.exe" --host-dir 'C:\UIV' \
  corners 139.55 35.85 140.05 35.55 >"$work/host.out" 2>"$work/host.err" || true
check "vamu-host.exe from the install folder draws" grep -qx 'DrawMapFromCorners -> True' "$work/host.out"
check "the map in the host's MAPS" test -s "$drive/UIV/MAPS/!!vamuMapserver.bmp"
cp "$drive/UIV2/MAPS/mine.map" "$drive/UIV/MAPS/mine.map"  # the operator's own map beside the plug-in's

# Tiles a session cached for this user, and the user's settings.
profile=$(find "$drive/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
mkdir -p "$profile/AppData/Local/vamuMapserver/tiles/0123abcd/12/3638" "$profile/AppData/Roaming/vamuMapserver"
printf 'tile\n' >"$profile/AppData/Local/vamuMapserver/tiles/0123abcd/12/3638/1612.tile"
printf 'source=gsi-std\r\n' >"$profile/AppData/Roaming/vamuMapserver/vamuMapserver.ini"

on_display "$run" "$winfolder\\uninstall.exe" /S
check "no file left" test ! -e "$installed"
check "the cached tiles removed" test ! -e "$profile/AppData/Local/vamuMapserver"
check "the settings kept" test -s "$profile/AppData/Roaming/vamuMapserver/vamuMapserver.ini"
export_registry "$work/after.reg"
new_keys "$work/before.reg" "$work/after.reg" >"$work/left"
check "no registry key left" test ! -s "$work/left"
check "no value of ours left" bash -c "! grep -qi 'vamuMapserver\\|AC89BF8E-8678' '$work/after.reg'"
check "the used MAPS kept with the plug-in's map" test -s "$drive/UIV/MAPS/!!vamuMapserver.bmp"
check "the operator's map kept" cmp "$work/mine.map" "$drive/UIV/MAPS/mine.map"

# A MAPS folder the installer made and nothing used goes with the uninstall;
# one the operator already had is left alone.
on_display "$run" "$setup" /S '/HOSTDIR=C:\UIV3'
check "MAPS made again" test -d "$drive/UIV3/MAPS"
on_display "$run" "$winfolder\\uninstall.exe" /S
check "the unused MAPS taken back" test ! -e "$drive/UIV3/MAPS"
on_display "$run" "$setup" /S '/HOSTDIR=C:\UIV2'
check "the operator's MAPS kept at install" cmp "$work/mine.map" "$drive/UIV2/MAPS/mine.map"
on_display "$run" "$winfolder\\uninstall.exe" /S
check "the operator's MAPS kept at uninstall" cmp "$work/mine.map" "$drive/UIV2/MAPS/mine.map"
check "no file left after the second uninstall" test ! -e "$installed"

if [ -s "$work/left" ]; then echo "keys left:"; cat "$work/left"; fi
echo "installer: $passed passed, $failed failed"
[ "$failed" = 0 ]
