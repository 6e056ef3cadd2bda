#!/usr/bin/env bash
# The command line of vamu-host as a user meets it: help and version, bad
# arguments, the hint for a session that does not start with corners, and
# whether the closing line says the bitmap was written by this session.
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
expect 0 '^vamu-host [0-9]+\.[0-9]+\.[0-9]+$' --version
expect 2 '^vamu-host: unknown option: --sise$' --sise 10x10
expect 2 '^vamu-host: unknown option: -x$' -x
expect 2 '^vamu-host: not a 16-bit integer: 99999$' pan 99999
expect 2 '^vamu-host: not a size WxH: 0x5$' --size 0x5

expect 0 '^vamu-host: hint: .*start the session with corners' centre 139.0 35.0 zoom-in
[ "$(grep -c hint "$dir/err")" = 1 ] || fail "the hint is given once"
expect 0 'map bitmap: .*!!vamuMapserver.bmp \(written by this session\)$' corners 139 36 140 35 zoom-in
grep -q hint "$dir/err" && fail "a hint after corners"
expect 0 'map bitmap: .*\(left from an earlier session: not written now\)$' menu 2
rm -rf "$dir/uiv"
expect 0 'map bitmap: .*\(not written\)$' menu 2

[ "$failures" = 0 ] && echo "vamu-host command line: all checks passed"
exit $((failures > 0))
