#!/usr/bin/env bash
# Watches the tool while it runs: its messages show at once, and a SIGKILL
# at any moment of a run on a large data file leaves the data file either
# the original or the complete repaired file: never missing, never partial.
#
#   tests/live_runs.sh TOOL
set -euo pipefail
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
ulimit -f 200000  # a fault that writes without end must not fill the disk
dir=$(mktemp -d)
# Only this shell cleans up: a child that bash forked for a background job
# and that is killed before it runs its command would run the trap too.
trap '[[ $BASHPID == "$$" ]] && { kill %1 2>/dev/null || true; rm -rf "$dir"; }' EXIT
cd "$dir" && echo abc >MemberNames.txt
# Each message shows at once: here while the tool is held just before the
# repair's rename (by strace, which also records the calls around it), and
# then while it waits for Enter.
await() {
  for ((i = 0; i < 40; ++i)); do grep -q "$1" console && return; sleep 0.1; done
  echo "FAILED: not shown while the tool waits: $1" && exit 1
}
printf '<0x1/>\n' >bare.xml
# (LeakSanitizer, in a sanitizer build, cannot work under strace.) Only the
# main thread, which repairs, is traced: a line of another thread's could
# split one of its calls in two.
ASAN_OPTIONS=detect_leaks=0 strace -o trace -e trace=rename,renameat,renameat2,openat,fsync,close \
  -e inject=rename,renameat,renameat2:delay_enter=6s \
  "$tool" bare.xml </dev/null >console 2>&1 &
await "Attempting to fix invalid XML <0x1/>"
wait %1
# The repair is on the disk once the tool goes on: after the rename, the
# folder that holds the new name is opened and forced to disk.
awk '/rename.*"bare.xml_tmp".*"bare.xml"\) += 0/ { renamed = 1 }
  renamed && /openat\(AT_FDCWD, "\.", .*O_DIRECTORY.*\) = [0-9]+$/ { folder = $NF }
  folder != "" && $0 ~ "fsync\\(" folder "\\) += 0" { synced = 1 }
  END { exit !synced }' trace ||
  { echo "FAILED: the folder is not forced to disk after the rename"; exit 1; }
# The first run's prompt is still in the console file until the second run
# starts: empty it first, or the wait below could end at once.
: >console
sleep 30 2>/dev/null | "$tool" bare.xml >console 2>&1 &
await "Press Enter to exit...$"
kill %1 2>/dev/null || true
# 24 MB of hashed XML with CR LF line ends and a bare tag on every 40th line;
# only the closing tag's hash is known (it is "abc").
awk 'BEGIN { for (i = 0; i < 600000; ++i)
  printf "%s%d</UNK_MEMBER_0xED131F5B>\r\n",
    i % 40 ? "  <UNK_MEMBER_0x12345678>" : "<0x12345678>", i }' >original
sed 's/^<0x/<UNK_MEMBER_0x/' original >repaired
cp original data.ymt
start=$(date +%s%N)
"$tool" data.ymt </dev/null >/dev/null
run_ns=$(($(date +%s%N) - start))
cmp -s data.ymt repaired || { echo "FAILED: the undisturbed run's repair"; exit 1; }
# The copy, dehashed a block at a time, is whole and in order: the default
# run leaves a line alone after an unknown first hash; complete mode names
# the closing tags.
tr -d '\r' <repaired >expected
cmp -s data_dehashed.ymt expected || { echo "FAILED: the dehashed copy"; exit 1; }
"$tool" --complete data.ymt </dev/null >/dev/null
sed 's/UNK_MEMBER_0xED131F5B/abc/' expected | cmp -s data_dehashed.ymt - ||
  { echo "FAILED: the complete dehashed copy"; exit 1; }
runs=40 old=0 new=0
for ((run = 0; run < runs; ++run)); do
  cp original data.ymt
  # One kill in each slice of the run, at a random point of the slice, and
  # a few past its end.
  delay=$(((run * 1000 + RANDOM % 1000) * run_ns / ((runs - 4) * 1000)))
  "$tool" data.ymt </dev/null >/dev/null &
  sleep "$(printf '%d.%09d' $((delay / 1000000000)) $((delay % 1000000000)))"
  kill -KILL $! 2>/dev/null || true
  wait $! 2>/dev/null || true
  if cmp -s data.ymt original; then old=$((old + 1))
  elif cmp -s data.ymt repaired; then new=$((new + 1))
  else echo "FAILED: run $run left a partial or missing data file"; exit 1; fi
done
echo "$old kills before the replacement, $new after"
# The kills did land on both sides of the replacement.
[[ $old -gt 0 && $new -gt 0 ]]
