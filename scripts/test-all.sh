#!/usr/bin/env bash
# Runs every test: the Linux suites (the editor window's suite starts an X server of its own
# with xvfb-run), the same suites under the address and undefined-behaviour sanitizers, the
# suites about threads under the thread sanitizer, the fuzz targets for a while each, and the
# Windows suites cross-built with mingw-w64 and run under Wine; installs, loads and removes the
# Debian package. Installs what it needs first. Build trees: build/linux, build/asan,
# build/tsan, build/fuzz, build/win64.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh"

jobs=$(nproc)
summary=()

# Runs the CTest suites of one build tree and adds up the GoogleTest cases they ran. Options
# after the tree go to ctest, after "--" comes a command that runs ctest (xvfb-run).
run_suites() {
  local name=$1 dir=$2; shift 2
  local ctest_options=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do ctest_options+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  echo "== $name: testing"
  (cd "$dir" && "$@" ctest --output-on-failure -j"$jobs" "${ctest_options[@]}")
  local cases
  cases=$(grep -hoE '^\[  PASSED  \] [0-9]+ test' "$dir/Testing/Temporary/LastTest.log" |
          awk '{ n += $4 } END { print n + 0 }')
  summary+=("$name: $cases test cases")
  total=$((${total:-0} + cases))
}

echo "== Linux: building"
"$root/scripts/build-linux.sh" build/linux
run_suites "Linux" build/linux

echo "== Debian package: install, load, remove"
package_result=$("$root/scripts/test-package.sh" build/linux)
echo "$package_result"
summary+=("Debian package: $package_result")

echo "== Linux with sanitizers: building"
"$root/scripts/build-linux.sh" build/asan -DORV_SANITIZE=ON
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suites "Linux sanitizers" build/asan

# Only the suites marked orv_thread_suite (cmake/orv.cmake) are built and run here.
echo "== Linux with the thread sanitizer: building"
"$root/scripts/build-linux.sh" build/tsan -DORV_TSAN=ON --target orv_thread_suites
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  run_suites "Linux thread sanitizer" build/tsan -L threads

# libFuzzer comes with clang; the fuzz tree builds the fuzz targets only.
echo "== Fuzz targets: building"
CC=clang-14 CXX=clang++-14 "$root/scripts/build-linux.sh" build/fuzz -DORV_FUZZ=ON \
  --target orv_fuzz_targets
echo "== Fuzz targets: each for 20 s, after replaying its corpus"
"$root/scripts/run-fuzzers.sh" build/fuzz 20 | tee build/fuzz/summary.txt
while read -r line; do summary+=("Fuzz $line"); done < build/fuzz/summary.txt

echo "== Windows: cross-building"
"$root/scripts/build-windows.sh" build/win64
export WINEPREFIX="$root/build/win64/wineprefix" WINEDEBUG=-all
echo "== Windows: preparing the Wine prefix"
xvfb-run -a "$root/cmake/wine-run.sh" --prepare
run_suites "Windows under Wine" build/win64 -- xvfb-run -a

echo "== Summary"
printf '%s\n' "${summary[@]}"
echo "${total} passed, 0 failed"
