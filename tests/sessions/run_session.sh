#!/usr/bin/env bash
# Runs one vamu-host session in a fresh host directory and compares its
# standard output line by line with the expected file; checks the exit
# status and that the map bitmap exists when one is expected.
# usage: run_session.sh VAMU_HOST EXPECTED_FILE EXPECTED_STATUS BITMAP(yes|no) ARGS...
set -u
host=$1 expected=$2 status=$3 bitmap=$4
shift 4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$host" --host-dir "$dir/uivhost" "$@" >"$dir/raw" 2>"$dir/err"
actual=$?
# The host directory differs from run to run: the expected files say <HOST>.
sed -E 's#"Z:[^"]*uivhost#"<HOST>#g' "$dir/raw" >"$dir/out"
if [ "$actual" != "$status" ]; then
  echo "exit status $actual, expected $status"; cat "$dir/err"; exit 1
fi
if [ -n "${VAMU_UPDATE_SESSIONS:-}" ]; then cp "$dir/out" "$expected"; fi
if ! diff -u "$expected" "$dir/out"; then
  echo "output differs from $expected"; exit 1
fi
if [ "$bitmap" = yes ] && [ ! -s "$dir/uivhost/MAPS/!!vamuMapserver.bmp" ]; then
  echo "no map bitmap written"; exit 1
fi
echo "session matches $(basename "$expected")"
