#!/usr/bin/env bash
# The command line of vamu-host as a user meets it: help and version, bad
# arguments, the session the host opens with corners (or the bare one of
# --no-start and its hint), the exit status of a failed request, whether the
# closing line says the bitmap was written by this session, and the PNG copy.
# usage: cli_checks.sh VAMU_HOST
set -u
host=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect STATUS PATTERN ARGS...: the exit status, and a line of standard
# output or error matching the pattern.
expect() {
  local status=$1 pattern=$2
  shift 2
  "$host" --host-dir "$dir/uiv" "$@" >"$dir/out" 2>"$dir/err"
  local actual=$?
  [ "$actual" = "$status" ] || fail "vamu-host $*: exit status $actual, expected $status"
  grep -qE -- "$pattern" "$dir/out" "$dir/err" || fail "vamu-host $*: no line matching: $pattern"
}

expect 0 '^  pan CODE +ZoomPan; CODE: 4 north, 8 south, 1 west, 2 east,' --help
expect 0 '5 north-west, 6 north-east, 9 south-west, 10 south-east, 0 none' -h corners 1 2 3 4
grep -q "^Initialize ->" "$dir/out" && fail "--help ran a session"
expect 0 '^  --no-start +no corners before the first request' --help
expect 0 '^exit status: 0 every request succeeded, 1 Initialize failed, 2 bad arguments, 3 a later request$' --help
expect 0 '^vamu-host [0-9]+\.[0-9]+\.[0-9]+$' --version
expect 2 '^vamu-host: unknown option: --sise$' --sise 10x10
expect 2 '^vamu-host: unknown option: -x$' -x
expect 2 '^vamu-host: not a 16-bit integer: 99999$' pan 99999
expect 2 '^vamu-host: not a size WxH: 0x5$' --size 0x5

# The host opens the session with corners around a first centre, or around
# its default view before any other first request; not before corners.
expect 0 '^vamu-host: the host opens the session with corners 139.45 35.85 139.95 35.55 ' centre 139.7 35.7
grep -q '^DrawMapFromCentre -> True$' "$dir/out" || fail "a first centre draws"
expect 0 '^ZoomIn -> True$' zoom-in
grep -q '^DrawMapFromCorners -> True$' "$dir/out" || fail "the opening corners print their line"
expect 0 '^DrawMapFromCorners -> True$' corners 139 36 140 35
grep -q 'opens the session' "$dir/err" && fail "the host opened a session that starts with corners"

# --no-start: the bare session, error 91 and its hint (once), exit status 3.
expect 3 '^vamu-host: hint: .*start the session with corners' --no-start centre 139.0 35.0 zoom-in
[ "$(grep -c hint "$dir/err")" = 1 ] || fail "the hint is given once"
grep -q '^ZoomIn -> False error 91 ' "$dir/out" || fail "the request after the failed one still runs"
grep -q '^vamu-host: 2 requests raised an error (exit status 3)' "$dir/err" || fail "the failures are counted"
expect 3 '^DrawMapFromCorners -> False error 7 ' --size 9000x9000 zoom-in
expect 0 'map bitmap: .*!!vamuMapserver.bmp \(written by this session\)$' corners 139 36 140 35 zoom-in
grep -q hint "$dir/err" && fail "a hint after corners"
expect 0 'map bitmap: .*\(left from an earlier session: not written now\)$' --no-start menu 2
rm -rf "$dir/uiv"
expect 0 'map bitmap: .*\(not written\)$' --no-start menu 2

# --png: the copy beside the bitmap, or no copy at all (an older one removed).
png="$dir/uiv/MAPS/!!vamuMapserver.png"
mkdir -p "$dir/uiv/MAPS" && echo stale >"$png"
expect 0 '^png copy: not written: no map bitmap$' --png --no-start menu 2
[ -e "$png" ] && fail "an older PNG copy stays beside no bitmap"
"$host" --host-dir "$dir/uiv" --png zoom-in >"$dir/out" 2>"$dir/err"
if grep -q '^png copy: .*!!vamuMapserver.png (written by this session)$' "$dir/err"; then
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "the PNG copy is no PNG"
else
  grep -q '^png copy: not written: this build writes no PNG files$' "$dir/err" || fail "--png said nothing"
  [ -e "$png" ] && fail "a PNG this session did not write is left"
fi

[ "$failures" = 0 ] && echo "vamu-host command line: all checks passed"
exit $((failures > 0))
