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
export WINEPREFIX="$prefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
# The programs of a 64-bit tree run under wine64; exit status 77 (skipped)
# where this machine cannot run Wine programs of the tree's width.
wine=wine
if grep -q 'x86_64-w64-mingw32' "$build/CMakeCache.txt" 2>/dev/null; then
  wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
fi
if ! "$wine" --version >/dev/null 2>&1; then
  echo "skipped: this machine cannot run $(basename "$wine") programs"
  exit 77
fi
if [ ! -f "$prefix/system.reg" ]; then
  timeout 300 "$wine" wineboot -i >/dev/null 2>&1 || { echo "wineboot failed"; exit 1; }
  # The server of the set-up run knows no display: let it go before the
  # checks start one under the virtual screen.
  timeout 60 wineserver -w >/dev/null 2>&1 || wineserver -k >/dev/null 2>&1 || true
fi
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
