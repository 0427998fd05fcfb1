#!/usr/bin/env bash
# Runs the fuzz target for SECONDS (default 60) from its seed corpus and
# prints how many inputs it ran. A finding fails the run; its input is left
# in the printed folder, to be added to fuzz/corpus/text/ once the fault is
# fixed.
#
#   fuzz/run_fuzzers.sh [SECONDS]     (expects clang's build in build-fuzz)
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
# New inputs go to the scratch folder named first, never to the corpus.
if ! "${FUZZ_BUILD_DIR:-$root/build-fuzz}/text_fuzzer" -print_final_stats=1 \
    -max_total_time="$seconds" -artifact_prefix="$work/" \
    "$work" "$root/fuzz/corpus/text" >"$work/log" 2>&1; then
  tail -n 40 "$work/log"
  echo "FAILED: the fuzzer found a fault; its input is in $work" >&2
  exit 1
fi
echo "text_fuzzer: $(sed -n 's/^stat::number_of_executed_units: *//p' \
  "$work/log") inputs in $seconds s, no finding"
rm -rf "$work"
