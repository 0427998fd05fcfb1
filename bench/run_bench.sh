#!/usr/bin/env bash
# Times the real executable on generated data against the floor of the same
# work done by cp (the tool reads the data file twice and writes two files
# of its size, so the floor is two copies of it), and prints medians.
#
#   bench/run_bench.sh [SIZE_MB] [NAMES] [RUNS]     defaults: 256 1000000 5
#
# BUILD_DIR (default build) holds the built tool; BENCH_DIR (default
# BUILD_DIR/bench-data) holds the data, which is made once per setting.
set -euo pipefail
size_mb=${1:-256}
names=${2:-1000000}
runs=${3:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
bench=${BENCH_DIR:-$build/bench-data}
tool=$build/Quorvantide
[[ -x $tool && -x $build/make_bench_data ]] || {
  echo "build first: cmake -S . -B build && cmake --build build" >&2
  exit 1
}
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 1; }

# Prints "wall cpu peak_kib" of one run of the command.
measure() {
  /usr/bin/time -f '%e %U %S %M' -o "$bench/.time" "$@" </dev/null >/dev/null
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$bench/.time"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf '%-8s %8s %8s %8s %10s %8s %6s\n' data wall_s cpu_s MB/s peak_MiB floor_s ratio
for shape in uniform local load; do
  gen_shape=$shape bytes=$((size_mb * 1024 * 1024))
  if [[ $shape == load ]]; then gen_shape=uniform bytes=100; fi
  dir=$bench/$shape-$size_mb-$names
  if [[ ! -f $dir/data.ymt ]]; then
    mkdir -p "$dir"
    "$build/make_bench_data" "$dir" "$names" "$bytes" "$gen_shape" 1
  fi
  cd "$dir"
  : > walls; : > cpus; : > peaks; : > floors
  for ((run = 0; run < runs; ++run)); do
    rm -f copy1 copy2
    sync
    measure sh -c 'cp data.ymt copy1 && cp data.ymt copy2' | awk '{ print $1 }' >> floors
    rm -f copy1 copy2
    cp data.ymt work.ymt
    sync  # each timed run starts with no dirty pages of earlier ones
    read -r wall cpu peak < <(measure "$tool" work.ymt)
    echo "$wall" >> walls; echo "$cpu" >> cpus; echo "$peak" >> peaks
    rm -f work.ymt work_dehashed.ymt
  done
  wall=$(median < walls) cpu=$(median < cpus) peak=$(median < peaks)
  floor=$(median < floors)
  mb=$(stat -c %s data.ymt)
  awk -v s="$shape" -v w="$wall" -v c="$cpu" -v p="$peak" -v f="$floor" -v b="$mb" 'BEGIN {
    rate = w > 0 ? b / 1048576 / w : 0
    ratio = f > 0 ? w / f : 0
    printf "%-8s %8.2f %8.2f %8.0f %10.1f %8.2f %6.1f\n", s, w, c, rate, p / 1024, f, ratio
  }'
  rm -f walls cpus peaks floors .time
done
