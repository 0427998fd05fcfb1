#!/usr/bin/env bash
# Times the real executable, in both modes, on generated data against the
# floor of the same I/O done plainly (bench/io_floor.cc), side by side in
# one run, and prints medians.
#
#   bench/run_bench.sh [SIZE_MB] [NAMES] [RUNS]     defaults: 256 1000000 5
#
# Each shape is timed twice: "clean", its bare tags repaired beforehand, so
# that the tool only reads the data file and writes the dehashed copy (floor:
# one read, then a read that writes a copy); and "bare", with bare tags to
# repair (floor: a read that writes a copy forced to disk, then a read that
# writes a copy). "oneline" is the clean uniform data as one line. Then
# complete mode on a folder of 2,000 files of 1-100 KB is timed against the
# same files named on the command line, and against the same folder with
# its copies written into a folder of their own (--out). Last, the name hunt: a folder of
# files of 4-60 KB (SIZE_MB * 400 KB in all) whose word lists lack some of
# their names, by a plain complete run and by a hunting one, with the share
# of unknown occurrences that got a name, the names found that are not the
# hidden ones, and the chance matches the tool expected.
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
for program in "$tool" "$build/make_bench_data" "$build/io_floor"; do
  [[ -x $program ]] || {
    echo "build first: cmake -S . -B build && cmake --build build" >&2
    exit 1
  }
done
[[ -x /usr/bin/time ]] || { echo "needs /usr/bin/time (apt-get install time)" >&2; exit 1; }

# Prints "wall cpu peak_kib" of one run of the command.
measure() {
  /usr/bin/time -f '%e %U %S %M' -o "$bench/.time" "$@" </dev/null >/dev/null
  awk '{ printf "%s %.2f %s\n", $1, $2 + $3, $4 }' "$bench/.time"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Makes the data of a shape once: data.ymt with bare tags, clean.ymt
# without.
prepare() {
  local shape=$1 dir=$2 bytes=$((size_mb * 1024 * 1024)) gen_shape=$1
  [[ -f $dir/clean.ymt ]] && return
  mkdir -p "$dir"
  if [[ $shape == load ]]; then gen_shape=uniform bytes=100; fi
  if [[ $shape == oneline ]]; then
    prepare uniform "$bench/uniform-$size_mb-$names"
    cp "$bench/uniform-$size_mb-$names"/*.txt "$dir"
    tr '\n' ' ' <"$bench/uniform-$size_mb-$names/clean.ymt" >"$dir/clean.ymt"
    cp "$dir/clean.ymt" "$dir/data.ymt"
    return
  fi
  "$build/make_bench_data" "$dir" "$names" "$bytes" "$gen_shape" 1
  cp "$dir/data.ymt" "$dir/clean.ymt"
  # Complete mode repairs every bare tag, so nothing is left to repair.
  (cd "$dir" && "$tool" --complete clean.ymt </dev/null >/dev/null &&
    rm -f clean_dehashed.ymt)
}

# Prints one row: the medians of RUNS timed runs of the tool with `mode`
# (empty or --complete) on `input`, against the floor's median.
row() {
  local label=$1 mode=$2 input=$3 floor=$4
  : >walls; : >cpus; : >peaks
  for ((run = 0; run < runs; ++run)); do
    cp "$input" work.ymt
    sync  # each timed run starts with no dirty pages of earlier ones
    read -r wall cpu peak < <(measure "$tool" $mode work.ymt)
    echo "$wall" >>walls; echo "$cpu" >>cpus; echo "$peak" >>peaks
    rm -f work.ymt work_dehashed.ymt
  done
  awk -v l="$label" -v m="${mode:---default}" -v w="$(median <walls)" \
    -v c="$(median <cpus)" -v p="$(median <peaks)" -v f="$floor" \
    -v b="$(stat -c %s "$input")" 'BEGIN {
    printf "%-14s %-10s %7.2f %7.2f %7.0f %9.1f %7.2f %6.1f\n", l, m, w, c,
      (w > 0 ? b / 1048576 / w : 0), p / 1024, f, (f > 0 ? w / f : 0)
  }'
}

# The floor's median for `input`, with or without a forced copy.
floor_of() {
  local input=$1 repair=$2
  : >floors
  for ((run = 0; run < runs; ++run)); do
    rm -f copy copy.tmp
    sync
    measure "$build/io_floor" $repair "$input" copy | awk '{ print $1 }' >>floors
  done
  rm -f copy copy.tmp
  median <floors
}

printf '%-14s %-10s %7s %7s %7s %9s %7s %6s\n' data mode wall_s cpu_s MB/s \
  peak_MiB floor_s ratio
for shape in uniform local oneline load; do
  dir=$bench/$shape-$size_mb-$names
  prepare "$shape" "$dir"
  cd "$dir"
  floor=$(floor_of clean.ymt "")
  row "$shape clean" "" clean.ymt "$floor"
  row "$shape clean" --complete clean.ymt "$floor"
  if [[ $shape == uniform || $shape == local ]]; then
    floor=$(floor_of data.ymt --repair)
    row "$shape bare" "" data.ymt "$floor"
    row "$shape bare" --complete data.ymt "$floor"
  fi
  rm -f walls cpus peaks floors .time
done

# A folder against its files named one by one.
batch=$bench/batch-$names
if [[ ! -f $batch/done ]]; then
  rm -rf "$batch" && mkdir -p "$batch/files"
  source=$bench/uniform-$size_mb-$names/clean.ymt
  cp "$bench/uniform-$size_mb-$names"/*.txt "$batch"
  # Pieces of 1 to 100 KB from seeded places of the clean data.
  awk -v seed=7 -v size="$(stat -c %s "$source")" 'BEGIN { srand(seed)
    for (i = 0; i < 2000; ++i) {
      bytes = 1024 + int(rand() * 101376)
      printf "%04d %d %d\n", i, int(rand() * (size > bytes ? size - bytes : 1)), bytes
    } }' | while read -r n offset bytes; do
      dd if="$source" of="$batch/files/part$n.ymt" bs=64K status=none \
        iflag=skip_bytes,count_bytes skip="$offset" count="$bytes"
    done
  touch "$batch/done"
fi
cd "$batch"
mapfile -t named < <(cd "$batch" && ls files/*.ymt)
for way in folder named out; do
  : >walls
  for ((run = 0; run < runs; ++run)); do
    # Each way writes its copies afresh into folders that stand already, as
    # the folder way's copies go into files/: a file system may place the
    # files of a new folder where creating them costs more.
    rm -f files/*_dehashed.ymt copies/files/*
    sync
    if [[ $way == folder ]]; then
      read -r wall _ _ < <(measure "$tool" --complete files)
    elif [[ $way == out ]]; then
      read -r wall _ _ < <(measure "$tool" --complete --out copies files)
    else
      read -r wall _ _ < <(measure "$tool" --complete "${named[@]}")
    fi
    echo "$wall" >>walls
  done
  printf '%-14s %-10s %7.2f\n' "batch $way" --complete "$(median <walls)"
done
rm -rf files/*_dehashed.ymt copies walls .time

# The name hunt, against the same complete run without it.
hunt=$bench/hunt-$size_mb-$names
if [[ ! -f $hunt/done ]]; then
  rm -rf "$hunt" && mkdir -p "$hunt/files"
  "$build/make_bench_data" "$hunt" "$names" $((size_mb * 409600)) hunt 1
  touch "$hunt/done"
fi
cd "$hunt"
# The two ways take turns, run by run: creating files here grows slower as
# a run's copies are removed, and neither way may get only the later runs.
: >walls-plain
: >walls-hunting
for ((run = 0; run < runs; ++run)); do
  for way in plain hunting; do
    rm -f files/*_dehashed.ymt report.txt
    sync
    if [[ $way == plain ]]; then
      read -r wall _ _ < <(measure "$tool" --complete files)
    else
      read -r wall _ _ < <(measure "$tool" --complete --hunt report.txt files)
    fi
    echo "$wall" >>"walls-$way"
  done
done
for way in plain hunting; do
  printf '%-14s %-10s %7.2f' "hunt $way" --complete "$(median <"walls-$way")"
  if [[ $way == hunting ]]; then
    "$tool" --complete --hunt report.txt files </dev/null |
      sed -n 's/.*(\([0-9]*\) of \([0-9]*\) occurrences); chance matches expected: \([0-9.]*\).*/\1 \2 \3/p' |
      awk '{ printf "   named %.0f %% of unknown occurrences, chance %s", 100 * $1 / $2, $3 }'
    awk -F'\t' 'NR == FNR { hidden[$1] = $2; next }
      hidden[$1] != $2 { ++wrong } END { printf ", wrong %d", wrong }' \
      hidden.txt report.txt
  fi
  echo
done
rm -f files/*_dehashed.ymt report.txt walls-plain walls-hunting .time
