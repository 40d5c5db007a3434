#!/usr/bin/env bash
# Runs each fuzz target of a fuzz build tree for a while on top of its seed corpus, which it
# first replays whole (every input ever kept there, crashing ones included, is a regression
# test). New inputs go to a scratch corpus in the build tree; the seeds are never written.
# Usage: run-fuzzers.sh BUILD_DIR SECONDS [NAME...]   (by default every target the tree built:
# state host editor text image, and those the formats add)
# Prints one line per target (executions, coverage) and fails on the first crash or broken
# invariant, naming the input that caused it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
seconds=$2
shift 2
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for program in "$build"/tests/fuzz/orv_fuzz_*; do
    [ -x "$program" ] && names+=("${program##*/orv_fuzz_}")
  done
fi
[ ${#names[@]} -gt 0 ] || { echo "no fuzz targets in $build/tests/fuzz" >&2; exit 1; }

# Inputs longer than these buy little: each host call or gesture takes a few bytes. The targets
# of host call sequences through each format (format_*) take those of the host target.
declare -A options=(
  [state]="-max_len=512"
  [host]="-max_len=128"
  [editor]="-max_len=640"
  [text]="-max_len=512"
  [image]="-max_len=4096 -dict=$root/tests/fuzz/png.dict"
)

for name in "${names[@]}"; do
  program="$build/tests/fuzz/orv_fuzz_$name"
  scratch="$build/fuzz-corpus/$name"
  artifacts="$build/fuzz-artifacts"
  mkdir -p "$scratch" "$artifacts"
  log="$artifacts/$name.log"
  seeds=()
  [ -d "$root/tests/fuzz/corpus/$name" ] && seeds=("$root/tests/fuzz/corpus/$name")
  case $name in format_*) option=${options[host]} ;; *) option=${options[$name]:--max_len=512} ;; esac
  # shellcheck disable=SC2086
  if ! "$program" $option -max_total_time="$seconds" -timeout=30 -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$artifacts/$name-" \
       "$scratch" "${seeds[@]}" >"$log" 2>&1; then
    grep -E 'invariant broken|ERROR|runtime error|SUMMARY|Test unit written' "$log" >&2 || true
    echo "$name: FAILED (log: $log)" >&2
    exit 1
  fi
  runs=$(grep -oE 'stat::number_of_executed_units: [0-9]+' "$log" | grep -oE '[0-9]+$')
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+$')
  echo "$name: $runs runs in ${seconds} s, coverage $cov edges"
done
