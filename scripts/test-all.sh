#!/usr/bin/env bash
# Runs every test: the Linux suites, the same suites under the address and undefined-behaviour
# sanitizers, and the Windows suites cross-built with mingw-w64 and run under Wine.
# Installs what it needs first. Build trees: build/linux, build/asan, build/win64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"

jobs=$(nproc)
summary=()

# Runs the CTest suites of one build tree and adds up the GoogleTest cases they ran.
run_suites() {
  local name=$1 dir=$2; shift 2
  echo "== $name: testing"
  (cd "$dir" && "$@" ctest --output-on-failure -j"$jobs")
  local cases
  cases=$(grep -hoE '^\[  PASSED  \] [0-9]+ test' "$dir/Testing/Temporary/LastTest.log" |
          awk '{ n += $4 } END { print n + 0 }')
  summary+=("$name: $cases test cases")
  total=$((${total:-0} + cases))
}

echo "== Linux: building"
"$root/scripts/build-linux.sh" build/linux
run_suites "Linux" build/linux

echo "== Linux with sanitizers: building"
"$root/scripts/build-linux.sh" build/asan -DORV_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suites "Linux sanitizers" build/asan

echo "== Windows: cross-building"
"$root/scripts/build-windows.sh" build/win64
export WINEPREFIX="$root/build/win64/wineprefix" WINEDEBUG=-all
echo "== Windows: preparing the Wine prefix"
xvfb-run -a "$root/cmake/wine-run.sh" --prepare
run_suites "Windows under Wine" build/win64 xvfb-run -a

echo "== Summary"
printf '%s\n' "${summary[@]}"
echo "${total} passed, 0 failed"
