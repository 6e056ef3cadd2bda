# Shared by tools/run-main and tools/run-tests (sourced, not run): installs
# the Debian packages a job needs and does not find, with apt's progress on
# standard error. As root it installs them itself, otherwise
# through sudo; where neither works it stops with the one command to run.
# VAMU_INSTALL=print only prints what it would install and goes on.

# The packages of the list that are not installed (names may carry :arch).
missing_packages() {
  local package status
  for package in "$@"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = installed ] || printf '%s\n' "$package"
  done
}

# Runs a command as root: directly, or through sudo. Fails when neither can.
as_root() {
  if [ "$(id -u)" = 0 ]; then
    "$@"
  elif command -v sudo >/dev/null && { sudo -n true 2>/dev/null || [ -t 0 ]; }; then
    sudo "$@"
  else
    return 126
  fi
}

# ensure_packages JOB PACKAGE...: installs the missing ones or stops.
ensure_packages() {
  local job=$1
  shift
  if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    echo "$job: this is not a Debian or Ubuntu machine; install by hand the equivalents of: $*" >&2
    return 0
  fi
  local missing
  missing=$(missing_packages "$@" | tr '\n' ' ')
  missing=${missing% }
  [ -n "$missing" ] || return 0
  local command="apt-get install -y --no-install-recommends $missing"
  if [ "${VAMU_INSTALL:-}" = print ]; then
    echo "$job: would install: $missing" >&2
    return 0
  fi
  local needs_i386=no
  case " $missing " in *:i386\ *) needs_i386=yes ;; esac
  if ! as_root true 2>/dev/null; then
    echo "$job: missing packages; install them as root with:" >&2
    [ "$needs_i386" = no ] || echo "  sudo dpkg --add-architecture i386 && sudo apt-get update" >&2
    echo "  sudo $command" >&2
    exit 1
  fi
  echo "$job: installing $missing (apt's progress follows)" >&2
  if [ "$needs_i386" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  # A fresh machine has no package lists yet; a stale one may name old versions.
  # apt's lines go to standard error: standard output is the job's own.
  echo "$job: updating the package lists" >&2
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q >&2
  # shellcheck disable=SC2086 # the list is meant to split into names
  if ! as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing >&2; then
    echo "$job: installing failed; the command was: $command" >&2
    exit 1
  fi
  echo "$job: installed $missing" >&2
}

# The tool chain of the native build and the vamu-host main job.
MAIN_PACKAGES="cmake make g++ libpng-dev libjpeg62-turbo-dev libcurl4-openssl-dev"
# What the tests, the format check and the benchmarks add on this side.
TEST_PACKAGES="git clang-format libgtest-dev libgmock-dev libbenchmark-dev pkg-config libproj-dev python3 openssl"
# The Windows builds and their tests under Wine.
WINDOWS_PACKAGES="g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libwine-dev wine wine64 wine32:i386 xvfb xauth"

# build_step JOB LOG TEXT COMMAND...: runs a build command with its output
# in LOG, a progress line on standard error (none where build_quiet=yes),
# and the log's end on failure.
build_step() {
  local job=$1 log=$2 text=$3
  shift 3
  [ "${build_quiet:-no}" = yes ] || echo "$job: $text" >&2
  if ! "$@" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "$job: failed: $* (full output in $log)" >&2
    exit 1
  fi
}
