#!/bin/sh
# Runs the Windows platform checks under Wine on a virtual X screen.
#   run_win_check.sh BUILD_DIR [WINEPREFIX [PROGRAM]]
# BUILD_DIR is a mingw build tree; PROGRAM is one of its win/tests programs
# (default vamu_win_check). The prefix defaults to one of its own under
# BUILD_DIR, made on first use.
set -u
build=$(cd "$1" && pwd)
prefix=${2:-$build/wine-win-check}
program=${3:-vamu_win_check}
. "$(dirname "$0")/wine_prefix.sh"
wine_prefix "$build" "$prefix"
# The fault sweep opens and closes hundreds of panels: Wine waits up to two
# seconds for each managed window to be withdrawn, so its windows are not
# handed to a window manager (there is none on the virtual screen).
if [ "$program" = vamu_fault_sweep_check ]; then
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  timeout 60 wineserver -w >/dev/null 2>&1 || true
fi
status=0
timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" "$wine" "$build/win/tests/$program.exe" || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
