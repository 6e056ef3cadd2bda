#!/usr/bin/env bash
# Runs every command the README shows in its sections "Two commands" and
# "The host simulator", each in a fresh temporary folder with this build's
# vamu-host, so that an example cannot go stale. Commands are the lines of
# a code block and the code spans that start with "bash tools/" or
# vamu-host (by name or as build/native/simulator/vamu-host; environment
# assignments may come first); the test command itself
# (tools/run-tests) and synopses ("[OPTION]", "a | b", "...") are left
# aside. A command shown failing says so in a trailing comment,
# "# ... exit status N"; every other one must exit 0. A tools/run-main
# session must name its map bitmap and PNG copy as written by it.
# usage: readme_commands.sh VAMU_HOST README
set -u
host=$(realpath "$1") readme=$2
root=$(cd "$(dirname "$readme")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0 ran=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The two sections, up to the next section of their level.
awk '/^## /{ on = ($0 == "## Two commands" || $0 == "## The host simulator `vamu-host`") } on' "$readme" \
  >"$work/sections"
command_pattern='^([A-Z_]+=[^ ]+ )*(bash tools/|(build/native/simulator/)?vamu-host )'
{
  sed -nE 's/^    (.*)$/\1/p' "$work/sections"
  grep -oE '`[^`]+`' "$work/sections" | tr -d '`'
} | grep -E "$command_pattern" | grep -vE 'tools/run-tests|\[|\.\.\.| \| ' >"$work/commands"

# run COMMAND-LINE: one README command in a folder of its own.
run() {
  local line=$1 expected=0 words=() assign=() dir
  case "$line" in *"# "*"exit status "*) expected=${line##*exit status } ;; esac
  expected=${expected%% *}
  read -ra words <<<"${line%%#*}"
  while [[ "${words[0]}" =~ ^[A-Z_]+= ]]; do assign+=("${words[0]}") && words=("${words[@]:1}"); done
  case "${words[0]}" in
    vamu-host | build/native/simulator/vamu-host) words[0]=$host ;;
    bash) words[1]=$root/${words[1]} ;;
  esac
  ran=$((ran + 1))
  dir=$work/run$ran
  mkdir -p "$dir"
  (cd "$dir" && env "${assign[@]}" VAMU_HOST="$host" "${words[@]}" >out 2>err </dev/null)
  local status=$?
  if [ "$status" != "$expected" ]; then
    fail "$line: exit status $status, expected $expected"
    tail -n 5 "$dir/err"
    return
  fi
  [ -s "$dir/out" ] || fail "$line: printed nothing"
  case "$line" in *--help* | *--version*) return ;; esac
  if [[ "$line" == *tools/run-main* ]]; then
    grep -q '^map bitmap: .*/uiview/MAPS/!!vamuMapserver.bmp (written by this session)$' "$dir/err" ||
      fail "$line: the map bitmap was not written"
    # A vamu-host built without libpng (run-main's own build has it) says so.
    grep -qE '^png copy: (.*/uiview/MAPS/!!vamuMapserver.png \(written by this session\)|not written: this build writes no PNG files)$' \
      "$dir/err" || fail "$line: the PNG copy was not written"
  fi
}

while IFS= read -r line; do run "$line"; done <"$work/commands"
grep -qx 'bash tools/run-main' "$work/commands" || fail "the README's main command was not found"
[ "$ran" -ge 6 ] || fail "only $ran README commands found"
[ "$failures" = 0 ] && echo "README commands: all $ran ran as shown"
exit $((failures > 0))
