# Sourced by the Wine check scripts (sh): wine_prefix BUILD PREFIX exports
# the prefix, sets $wine to the Wine of the tree's width (wine64 for a
# 64-bit tree), exits 77 (skipped) where this machine cannot run it, and
# makes the prefix on first use. The server of the set-up run knows no
# display: it is let go before the checks start one under a virtual screen.
wine_prefix() {
  # Wine takes only an absolute prefix.
  mkdir -p "$2" && WINEPREFIX=$(cd "$2" && pwd) || { echo "cannot make the prefix $2"; exit 1; }
  export WINEPREFIX WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
  wine=wine
  if grep -q 'x86_64-w64-mingw32' "$1/CMakeCache.txt" 2>/dev/null; then
    wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
  fi
  if ! "$wine" --version >/dev/null 2>&1; then
    echo "skipped: this machine cannot run $(basename "$wine") programs"
    exit 77
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    timeout 300 "$wine" wineboot -i >/dev/null 2>&1 || { echo "wineboot failed"; exit 1; }
    timeout 60 wineserver -w >/dev/null 2>&1 || wineserver -k >/dev/null 2>&1 || true
  fi
}
