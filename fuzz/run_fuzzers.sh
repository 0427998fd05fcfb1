#!/usr/bin/env bash
# Runs every fuzz target for SECONDS (default 60) from its seed corpus and
# prints how many inputs each one ran. Any finding fails the run; the input
# that caused it is left under the printed folder, to be added to
# fuzz/corpus/<target>/ once the fault is fixed.
#
#   fuzz/run_fuzzers.sh [SECONDS]     (expects clang's build in build-fuzz)
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
for target in chunk_reader dehash repair names; do
  work=$(mktemp -d)
  # New inputs go to the scratch folder named first, never to the
  # committed corpus.
  if ! "$build/${target}_fuzzer" -max_total_time="$seconds" \
      -print_final_stats=1 -artifact_prefix="$work/" \
      "$work" "$root/fuzz/corpus/$target" >"$work/log" 2>&1; then
    tail -n 40 "$work/log"
    echo "FAILED: ${target}_fuzzer found a fault; its input is in $work" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
  echo "${target}_fuzzer: ${runs} inputs in ${seconds} s, no finding"
  rm -rf "$work"
done
