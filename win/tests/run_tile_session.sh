#!/bin/sh
# Map tiles through vamu-host.exe and the DLL under Wine, against the
# loopback tile server (no other server is ever asked):
#   alignment   the published pictures of every layer, drawn from the
#               server's pattern, line up with the reported corners
#   late tiles  with --tile-wait 0 the late tiles of a slow server bring
#               exactly one more SignalInformation, for the same corners
#   builtin     the built-in source asks the server for nothing and never
#               loads winhttp.dll (a session drawing tiles does)
#   source      the request "source NAME" picks a source on the panel's list
#               and the choice is kept in the settings file of VAMU_CONFIG
#   prefetch    the request "prefetch" reaches the DLL's tile service: refused
#               for OpenStreetMap with the reason and nothing asked, and for
#               a source of one's own that allows it every tile of the area
#               fetched once and cached, with progress
#   same        (with NATIVE_HOST) a session with tiles and source picks gives
#               the same lines and bitmap from vamu-host.exe and the DLL as
#               from the native vamu-host
#   hosted      with the test map control registered as the installed one,
#               the list offers the built-in map alone, nothing is asked of
#               the server and the session's end does not wait
#   run_tile_session.sh BUILD_DIR [WINEPREFIX [NATIVE_HOST]]
set -u
build=$(cd "$1" && pwd)
prefix=${2:-$build/wine-tile-session}
native=${3:-}
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/wine_prefix.sh"
wine_prefix "$build" "$prefix"
for f in "$build/win/host/vamu-host.exe" "$build/com/vamuMapserver.dll"; do
  [ -f "$f" ] || { echo "missing $f: build the mingw preset first"; exit 1; }
done

work=$(mktemp -d)
server=""
testmap="$build/win/tests/test_control/vamu_test_map.dll"
registered=""
regsvr() {  # [/u]: registers the test map control (or removes it) in the prefix
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  timeout -k 10 120 xvfb-run -a "$wine" regsvr32 /s "$@" "$(windows "$testmap")" >/dev/null 2>&1
  status=$?
  timeout 60 wineserver -w >/dev/null 2>&1
  return $status
}
cleanup() {
  [ -n "$registered" ] && regsvr /u
  [ -n "$server" ] && kill "$server" 2>/dev/null
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
python3 "$source_dir/tests/tile_server/tile_server.py" --port-file "$work/port" --max-seconds 500 \
  --max-requests 5000 &
server=$!
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
[ -s "$work/port" ] || { echo "the tile server did not start"; exit 1; }
base="http://127.0.0.1:$(cat "$work/port")"

windows() { printf 'Z:%s\n' "$(printf '%s' "$1" | tr / '\\')"; }
ask() { python3 -c 'import sys, urllib.request; print(urllib.request.urlopen(sys.argv[1]).read().decode())' "$base/$1"; }
requests() { ask stats | python3 -c 'import json, sys; print(json.load(sys.stdin)["total"])'; }
published() { grep -c '^SignalInformation' "$work/$1.out"; }

# run NAME ARGS...: one session of vamu-host.exe with the DLL of this build,
# its settings in NAME.ini, its host folder NAME/, its lines in NAME.out.
run() {
  name=$1
  shift
  wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1
  WINEDEBUG=${debug:--all} VAMU_CONFIG=$(windows "$work/$name.ini") timeout -k 10 180 xvfb-run -a "$wine" "$build/win/host/vamu-host.exe" \
    --dll "$(windows "$build/com/vamuMapserver.dll")" --host-dir "$(windows "$work/$name")" "$@" \
    >"$work/$name.out" 2>"$work/$name.err"
  echo $? >"$work/$name.status"
  debug=""
}
bitmap() { echo "$work/$1/MAPS/!!vamuMapserver.bmp"; }

passed=0 failed=0 debug=""
verdict() {  # CASE FAILURES
  if [ "$2" = 0 ]; then passed=$((passed + 1)); echo "$1: passed"; else failed=$((failed + 1)); echo "$1: FAILED"; fi
}
shown=""
fail() {  # NAME WHAT: says what went wrong in session NAME (and, once, what it printed)
  echo "  $2"
  case " $shown " in
    *" $1 "*) ;;
    *)
      shown="$shown $1"
      sed 's/^/  | /' "$work/$1.out" | tail -n 15
      grep -v '^X connection' "$work/$1.err" | sed 's/^/  ! /' | tail -n 10
      ;;
  esac
  problems=$((problems + 1))
}

# The pattern tiles, every layer of the main map, a fresh cache.
problems=0
for layer in 0 1 2 3 4 5 6 7 8 9 10 11 12; do
  debug=+loaddll; run "align$layer" --tile-url "$base/ok/{z}/{x}/{y}.png" --tile-cache "$(windows "$work/cache")" --png \
    --size 640x480 centre 139.767 35.681 layer $layer
  if [ "$(cat "$work/align$layer.status")" != 0 ]; then
    fail "align$layer" "layer $layer: exit status $(cat "$work/align$layer.status")"
  elif ! python3 "$source_dir/win/tests/tile_dots.py" "$(bitmap "align$layer")" "$work/align$layer.out" \
      >"$work/dots"; then
    fail "align$layer" "layer $layer: $(cat "$work/dots")"
  elif [ ! -s "$work/align$layer/MAPS/!!vamuMapserver.png" ]; then
    fail "align$layer" "layer $layer: no PNG copy"
  else
    echo "  layer $layer: $(cat "$work/dots")"
  fi
done
verdict alignment $problems

# The same view from the built-in map (with a server named, which must
# stay unasked), then from a slow server without waiting.
problems=0
ask reset >/dev/null
view="--size 512x384 centre 139.75 35.68 layer 7"
# shellcheck disable=SC2086
started=$(date +%s)
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/vamuMapserver  # left by an earlier run
debug=+loaddll; run builtin --tile-url "$base/ok/{z}/{x}/{y}.png" --source builtin $view
plain_took=$(($(date +%s) - started))
[ "$(cat "$work/builtin.status")" = 0 ] || fail builtin "exit status $(cat "$work/builtin.status")"
[ "$(requests)" = 0 ] || fail builtin "the built-in source made $(requests) requests"
winhttp() { grep -ci 'Loaded .*winhttp\.dll' "$work/$1.err"; }
[ "$(winhttp builtin)" = 0 ] || fail builtin "the built-in source loaded winhttp.dll"
[ "$(winhttp align6)" != 0 ] || fail align6 "a session drawing tiles never loaded winhttp.dll"
# Nor does it make the default cache folder: folders come with the first tile.
for made in "$WINEPREFIX"/drive_c/users/*/AppData/Local/vamuMapserver; do
  [ ! -e "$made" ] || fail builtin "the built-in source made $made"
done
verdict builtin $problems

problems=0
ask reset >/dev/null
# Slow enough that no tile of the views before the last arrives while the
# requests run, even on a loaded machine: only the last view re-publishes.
# shellcheck disable=SC2086
run late --tile-url "$base/slow/{z}/{x}/{y}.png?ms=500" --tile-wait 0 --tile-cache "$(windows "$work/late-cache")" \
  $view
if [ "$(cat "$work/late.status")" != 0 ]; then
  fail late "exit status $(cat "$work/late.status")"
else
  [ "$(requests)" -gt 4 ] || fail late "only $(requests) requests"
  [ "$(published late)" = "$(($(published builtin) + 1))" ] ||
    fail late "$(published late) pictures published, the built-in map $(published builtin)"
  corners() { grep '^SignalInformation' "$work/$1.out" | cut -d' ' -f1-5; }
  if [ "$(corners late | sed '$d')" != "$(corners builtin)" ] ||
     [ "$(corners late | tail -n 1)" != "$(corners builtin | tail -n 1)" ]; then
    fail late "the corners differ from the built-in map's"
  fi
  python3 "$source_dir/win/tests/tile_dots.py" "$(bitmap late)" "$work/late.out" >"$work/dots" ||
    fail late "the last picture: $(cat "$work/dots")"
fi
verdict late-tiles $problems

# The operator's pick: kept in the settings file, every other line as it was.
problems=0
printf '; my settings\r\n[tiles]\r\ncache_limit_mb=64\r\n\r\n[source mine]\r\nurl=%s\r\n' \
  "$base/ok/{z}/{x}/{y}.png" >"$work/pick.ini"
run pick --tile-cache "$(windows "$work/pick-cache")" --size 320x240 centre 139.75 35.68 source mine source nowhere
grep -q '^SourceList_Click -> True' "$work/pick.out" || fail pick "the pick of mine was not taken"
grep -q '^SourceList_Click .*No map source nowhere' "$work/pick.out" || fail pick "nowhere was not refused"
tr -d '\r' <"$work/pick.ini" | grep -qx 'source=mine' || fail pick "no source=mine in the settings: $(cat "$work/pick.ini")"
for line in '; my settings' 'cache_limit_mb=64' '[source mine]'; do
  tr -d '\r' <"$work/pick.ini" | grep -qxF "$line" || fail pick "the line $line is gone"
done
grep -q '地図の出典: タイル: mine' "$work/pick.err" || fail pick "no log line for the pick"
[ "$(published pick)" -ge 2 ] || fail pick "the pick did not redraw the map"
verdict source $problems

# Bulk download through the DLL's entry point.
problems=0
ask reset >/dev/null
printf '[source mine]\r\nurl=%s\r\nbulk=yes\r\n' "$base/ok/{z}/{x}/{y}.png" >"$work/bulk.ini"
cp "$work/bulk.ini" "$work/bulk-osm.ini"
area="prefetch 139.70 35.65 139.75 35.70 6-8"
# shellcheck disable=SC2086
run bulk-osm --tile-cache "$(windows "$work/bulk-cache")" --no-start --source osm $area
[ "$(cat "$work/bulk-osm.status")" = 3 ] || fail bulk-osm "exit status $(cat "$work/bulk-osm.status")"
grep -q '^Prefetch -> False .*osm は一括取得を認めていません' "$work/bulk-osm.out" || fail bulk-osm "osm was not refused"
[ "$(requests)" = 0 ] || fail bulk-osm "the refused prefetch made $(requests) requests"
# shellcheck disable=SC2086
run bulk --tile-cache "$(windows "$work/bulk-cache")" --no-start --source mine $area
summary=$(grep '^prefetch: zoom' "$work/bulk.err")
total=$(printf '%s\n' "$summary" | sed -nE 's/^prefetch: zoom [0-9]+ to [0-9]+, ([0-9]+) tiles, \1 done$/\1/p')
cached=$(find "$work/bulk-cache" -name '*.tile' | wc -l)
if [ "$(cat "$work/bulk.status")" != 0 ] || ! grep -q '^Prefetch -> True' "$work/bulk.out"; then
  fail bulk "exit status $(cat "$work/bulk.status")"
elif [ -z "$total" ] || [ "$total" -lt 2 ]; then
  fail bulk "no whole download in: $summary"
else
  grep -q "^prefetch: $total of $total tiles" "$work/bulk.err" || fail bulk "no progress to the end"
  [ "$(requests)" = "$total" ] || fail bulk "$(requests) requests for $total tiles"
  [ "$cached" = "$total" ] || fail bulk "$cached tiles cached of $total"
  echo "  $summary"
fi
verdict prefetch $problems

# Both builds, the same session: lines, and the bitmap apart from its
# resolution fields (bytes 39-46: 72 dpi natively, the display's on Windows).
if [ -n "$native" ]; then
  problems=0
  same="--tile-url $base/ok/{z}/{x}/{y}.png --size 512x384 centre 139.75 35.68 layer 7 zoom-in pan 6"
  same="$same source builtin source url prefetch 139.70 35.65 139.75 35.70 6-8"
  # shellcheck disable=SC2086
  VAMU_CONFIG="$work/same-native.ini" "$native" --host-dir "$work/same-native" \
    --tile-cache "$work/same-native-cache" $same >"$work/same-native.out" 2>"$work/same-native.err"
  echo $? >"$work/same-native.status"
  # shellcheck disable=SC2086
  run same-wine --tile-cache "$(windows "$work/same-wine-cache")" $same
  for side in native wine; do
    sed -E 's#"Z:[^"]*same-(native|wine)#"<HOST>#g' "$work/same-$side.out" >"$work/same-$side.lines"
  done
  # Exit status 3 on both sides: the prefetch of the session's own server is refused.
  [ "$(cat "$work/same-native.status")" = 3 ] || fail same-native "native exit status $(cat "$work/same-native.status")"
  [ "$(cat "$work/same-wine.status")" = 3 ] || fail same-wine "exit status $(cat "$work/same-wine.status")"
  diff -u --label native "$work/same-native.lines" --label vamu-host.exe "$work/same-wine.lines" ||
    fail same-wine "the lines differ"
  other=$({ cmp -l "$(bitmap same-native)" "$(bitmap same-wine)" 2>&1 || true; } | awk '$1 < 39 || $1 > 46' | head -3)
  [ -z "$other" ] || fail same-wine "the bitmaps differ: $other"
  verdict same-as-native $problems
fi

# The installed map control on the panel takes no tiles.
problems=0
ask reset >/dev/null
if ! regsvr; then
  echo "  the test map control could not be registered"
  problems=1
else
  registered=yes
  started=$(date +%s)
  run hosted --tile-url "$base/ok/{z}/{x}/{y}.png" --tile-cache "$(windows "$work/hosted-cache")" \
    --size 320x240 centre 139.75 35.68 source url
  took=$(($(date +%s) - started))
  grep -q 'ProAtlas2002CtrlLib.ProAtlasCtrl を使用' "$work/hosted.err" || fail hosted "the control was not hosted"
  grep -q '^SourceList_Click .*No map source url' "$work/hosted.out" || fail hosted "the list offered url"
  [ "$(requests)" = 0 ] || fail hosted "$(requests) requests with the control hosted"
  # The end waits up to 10 s for tiles that never come where it waits wrongly.
  [ "$took" -lt $((plain_took + 6)) ] || fail hosted "the session took $took s, the built-in one $plain_took s"
  echo "  hosted session: $took s, the built-in one $plain_took s"
  regsvr /u && registered=""
fi
verdict hosted $problems

echo "win_tile_session: $passed passed, $failed failed"
[ "$failed" = 0 ]
