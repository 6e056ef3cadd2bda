#!/usr/bin/env bash
# Runs one Wine test of vamuMapserver.dll against a mingw build tree.
#   run_wine_tests.sh BUILD_DIR ARCH TEST
# ARCH is i686 or x86_64. TEST is one of:
#   setup         a fresh Wine prefix under BUILD_DIR, the DLL copied into it
#                 and registered with regsvr32
#   registered | typelib | dispatch | session | bench
#                 the test host vamu_wine_client.exe with that word
#   random        VAMU_RANDOM_CALLS (20000) random Invoke calls on a live server
#   soak          VAMU_SOAK_REQUESTS (10000) requests, timed per 100
#   vbscript      tests/client.vbs through cscript, its output compared
#   hosted        the session with the built-in map, then again with the test
#                 map control registered under the installed control's ProgID:
#                 same reports and bitmap; then the install message from a
#                 control without the nationwide data set
#   unregister    regsvr32 /u, the registry checked, Wine shut down
#   same-as-native VAMU_HOST STATUS ARGS...
#                 one recorded session run by the native vamu-host and by
#                 vamu-host.exe against the registered DLL: the same exit
#                 status (STATUS) and the same output lines, apart from the
#                 differences that come with the setting (see same_as_native)
# Every Wine process runs under its own virtual X display; Wine is shut down
# after each test so that no process outlives its display.
set -euo pipefail

build=$(cd "$1" && pwd)
arch=$2
test=$3
here=$(cd "$(dirname "$0")" && pwd)

dll=$build/com/vamuMapserver.dll
client=$build/com/tests/vamu_wine_client.exe
for f in "$dll" "$client"; do
  [ -f "$f" ] || { echo "missing $f: build the mingw-$arch preset first" >&2; exit 1; }
done

export WINEPREFIX=$build/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

# Each DLL is registered and scripted by the system programs of its own
# width; Debian's wine command starts the 32-bit ones by default.
# The two architectures look for free displays in different ranges, so that
# their tests can run side by side.
if [ "$arch" = i686 ]; then
  sysdir='C:\windows\syswow64'
  wine=wine
  display=110
else
  sysdir='C:\windows\system32'
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
  display=160
fi
# Exit status 77 (skipped) where this machine cannot run Wine programs of
# this width (32-bit ones need a kernel that runs 32-bit Linux programs).
if ! "$wine" --version >/dev/null 2>&1; then
  echo "$test: skipped, this machine cannot run $(basename "$wine") ($arch Wine programs)"
  exit 77
fi
installed='C:\vamu\vamuMapserver.dll'
hostdir='C:\vamutest\UIV\'

shutdown() { wineserver -k 2>/dev/null || true; }
trap shutdown EXIT

# Runs a command under a virtual display with a time limit, and ends Wine
# before the display goes: killed after a test, or, after a change to the
# registry, left to shut down by itself so that it saves the registry.
on_display() {
  timeout -k 10 "${VAMU_WINE_TIMEOUT:-240}" xvfb-run -a -n "$display" \
    bash -c '"$@"; status=$?; wineserver "${VAMU_WINE_END:--k}"; exit $status' on_display "$@"
}

# One session both ways: the exit status, the output lines, the files left
# in the host directory, uiview32.ini and the map bitmap. What may differ,
# and only that:
# - the host directory: each run has its own, so both read <HOST>;
# - --trace: the map controls and the settings write live inside the DLL,
#   out of the host's sight, so the session runs without it on both sides;
# - the standard error (the panel log with its clock times);
# - the bitmap's resolution fields (bytes 39-46, pixels per metre: 72 dpi
#   from the native codec, the display's 96 dpi from Windows).
same_as_native() {
  local native_host=$1 expected=$2
  shift 2
  local args=() a
  for a in "$@"; do [ "$a" = --trace ] || args+=("$a"); done
  work=$(mktemp -d)
  trap 'rm -rf "$work"; shutdown' EXIT
  local native_status=0 wine_status=0
  "$native_host" --host-dir "$work/native/uivhost" "${args[@]}" >"$work/native.raw" 2>"$work/native.err" ||
    native_status=$?
  local windir="Z:$(echo "$work/wine/uivhost" | tr / '\\')"
  on_display "$wine" "$build/win/host/vamu-host.exe" --host-dir "$windir" "${args[@]}" \
    >"$work/wine.raw" 2>"$work/wine.err" || wine_status=$?
  local side
  for side in native wine; do sed -E 's#"Z:[^"]*uivhost#"<HOST>#g' "$work/$side.raw" >"$work/$side.out"; done
  local failed=0
  if [ "$native_status" != "$expected" ] || [ "$wine_status" != "$expected" ]; then
    echo "exit status: native $native_status, vamu-host.exe $wine_status, expected $expected"
    cat "$work/wine.err"
    failed=1
  fi
  if ! diff -u --label native "$work/native.out" --label vamu-host.exe "$work/wine.out"; then
    failed=1
  fi
  if [ ! -s "$work/wine.out" ] && [ "$expected" = 0 ]; then
    echo "vamu-host.exe printed nothing"; cat "$work/wine.err"; failed=1
  fi
  if ! diff <(cd "$work/native" && find . | sort) <(cd "$work/wine" && find . | sort); then
    echo "the host directories hold different files"; failed=1
  fi
  local ini=uivhost/uiview32.ini
  if [ -f "$work/native/$ini" ] &&
    ! diff <(sed -E 's#Z:[^!]*uivhost#<HOST>#g' "$work/native/$ini") <(sed -E 's#Z:[^!]*uivhost#<HOST>#g' "$work/wine/$ini"); then
    echo "uiview32.ini differs"; failed=1
  fi
  local bmp='uivhost/MAPS/!!vamuMapserver.bmp'
  if [ -f "$work/native/$bmp" ]; then
    local other
    other=$({ cmp -l "$work/native/$bmp" "$work/wine/$bmp" 2>&1 || true; } | awk '$1 < 39 || $1 > 46' | head -3)
    if [ -n "$other" ]; then
      echo "the map bitmaps differ: $other"; failed=1
    fi
  fi
  if [ $failed = 0 ]; then
    echo "same-as-native: 1 passed, 0 failed"
  else
    echo "same-as-native: 0 passed, 1 failed"
  fi
  return $failed
}

case $test in
  setup)
    shutdown
    rm -rf "$WINEPREFIX"
    timeout -k 10 600 "$wine" wineboot -i >/dev/null 2>&1
    wineserver -w
    mkdir -p "$WINEPREFIX/drive_c/vamu"
    cp "$dll" "$WINEPREFIX/drive_c/vamu/"
    VAMU_WINE_END=-w on_display "$wine" "$sysdir\\regsvr32.exe" /s "$installed"
    echo "setup: prefix $WINEPREFIX ready, $installed registered"
    ;;
  registered|typelib|dispatch|bench)
    on_display "$wine" "$client" "$test"
    ;;
  boundary)
    on_display "$wine" "$build/com/tests/vamu_com_check.exe"
    ;;
  session)
    on_display "$wine" "$client" session "$hostdir"
    # The same files, seen from outside.
    test -s "$WINEPREFIX/drive_c/vamutest/UIV/MAPS/!!vamuMapserver.bmp"
    grep -q 'LAST_MAP=C:\\vamutest\\UIV\\MAPS\\!!vamuMapserver.inf' "$WINEPREFIX/drive_c/vamutest/UIV/uiview32.ini"
    ;;
  random)
    # Random Invoke calls against a live server (VAMU_RANDOM_CALLS of them).
    on_display "$wine" "$client" random 'C:\vamutest\RND\' "${VAMU_RANDOM_CALLS:-20000}"
    ;;
  soak)
    # N ordinary requests, timed per 100 (tools/soak).
    on_display "$wine" "$client" soak 'C:\vamutest\SOAK\' "${VAMU_SOAK_REQUESTS:-10000}"
    ;;
  vbscript)
    # Wine maps / to Z:\. (winepath would start Wine without the display.)
    script="Z:$(echo "$here/client.vbs" | tr / '\\')"
    actual=$(on_display "$wine" "$sysdir\\cscript.exe" //nologo "$script" | tr -d '\r')
    expected=$(cat "$here/client.vbs.expected")
    if [ "$actual" != "$expected" ]; then
      diff <(echo "$expected") <(echo "$actual") || true
      echo "vbscript: 0 passed, 1 failed"
      exit 1
    fi
    echo "vbscript: 1 passed, 0 failed"
    ;;
  hosted)
    testmap=$build/win/tests/test_control/vamu_test_map.dll
    [ -f "$testmap" ] || { echo "missing $testmap: build the mingw-$arch preset first" >&2; exit 1; }
    cp "$testmap" "$WINEPREFIX/drive_c/vamu/"
    VAMU_EXPECT_MAP=builtin VAMU_SESSION_DIGEST='C:\vamutest\builtin.txt' \
      on_display "$wine" "$client" session "$hostdir"
    unregister_test_map() {
      VAMU_WINE_END=-w on_display "$wine" "$sysdir\\regsvr32.exe" /s /u 'C:\vamu\vamu_test_map.dll' || true
      shutdown
    }
    trap unregister_test_map EXIT
    VAMU_WINE_END=-w on_display "$wine" "$sysdir\\regsvr32.exe" /s 'C:\vamu\vamu_test_map.dll'
    VAMU_EXPECT_MAP=hosted VAMU_SESSION_DIGEST='C:\vamutest\hosted.txt' \
      on_display "$wine" "$client" session "$hostdir"
    VAMU_EXPECT_MAP=hosted VAMU_TEST_MAP=no-rdw2010 on_display "$wine" "$client" install "$hostdir"
    diff "$WINEPREFIX/drive_c/vamutest/builtin.txt" "$WINEPREFIX/drive_c/vamutest/hosted.txt"
    echo "hosted: the same $(grep -c SignalInformation "$WINEPREFIX/drive_c/vamutest/hosted.txt") reports and bitmap"
    ;;
  same-as-native)
    same_as_native "${@:4}"
    ;;
  unregister)
    VAMU_WINE_END=-w on_display "$wine" "$sysdir\\regsvr32.exe" /s /u "$installed"
    on_display "$wine" "$client" unregistered
    ;;
  *)
    echo "unknown test $test" >&2
    exit 2
    ;;
esac
