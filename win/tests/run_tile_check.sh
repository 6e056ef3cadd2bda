#!/bin/sh
# Runs the map tiles' platform checks under Wine against the loopback tile
# server (plain HTTP, and TLS with a certificate made for the run where
# openssl is at hand). No display is needed.
#   run_tile_check.sh BUILD_DIR [WINEPREFIX [CASE WORDS...]]
set -u
build=$(cd "$1" && pwd)
prefix=${2:-$build/wine-tile-check}
[ $# -ge 2 ] && shift 2 || shift $#
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/wine_prefix.sh"
wine_prefix "$build" "$prefix"

work=$(mktemp -d)
servers=""
cleanup() {
  for pid in $servers; do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
# The servers stop by themselves after four minutes or 2000 requests.
start_server() {  # PORT_FILE [--tls CERT KEY]
  port_file=$1
  shift
  python3 "$source_dir/tests/tile_server/tile_server.py" --port-file "$port_file" --max-seconds 240 \
    --max-requests 2000 "$@" &
  servers="$servers $!"
}
start_server "$work/port"
if command -v openssl >/dev/null 2>&1 &&
   openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=localhost -addext subjectAltName=DNS:localhost \
     -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1; then
  start_server "$work/tls-port" --tls "$work/cert.pem" "$work/key.pem"
fi
for _ in $(seq 100); do
  [ -s "$work/port" ] && { [ ! -f "$work/cert.pem" ] || [ -s "$work/tls-port" ]; } && break
  sleep 0.1
done
[ -s "$work/port" ] || { echo "the tile server did not start"; exit 1; }
VAMU_TILE_PORT=$(cat "$work/port")
VAMU_TILE_TLS_PORT=$(cat "$work/tls-port" 2>/dev/null || echo 0)
export VAMU_TILE_PORT VAMU_TILE_TLS_PORT

status=0
timeout 300 "$wine" "$build/win/tests/vamu_tile_check.exe" "$@" || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
