#!/usr/bin/env bash
# Watches the tool while it runs: its messages show at once, and a SIGKILL
# at any point of a run on a large data file leaves the data file either
# the original or the complete repaired file: never missing, never partial.
# Every kill is placed by what the run has done, never by the clock, so
# that the kills land on both sides of the replacement on any machine.
#
#   tests/live_runs.sh TOOL
set -euo pipefail
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
ulimit -f 200000  # a fault that writes without end must not fill the disk
dir=$(mktemp -d)
# Only this shell cleans up: a child that bash forked for a background job
# and that is killed before it runs its command would run the trap too.
trap '[[ $BASHPID == "$$" ]] && { kill -KILL $tracer $(cat "$dir"/pid \
  2>/dev/null) 2>/dev/null; rm -rf "$dir"; } || true' EXIT
tracer=
cd "$dir" && echo abc >MemberNames.txt
fail() { echo "FAILED: $1"; exit 1; }
# Waits until the command `$1` holds, polling; the bound is one no machine, however
# busy, comes near: only a run that hangs reaches it.
await() {
  for ((i = 0; i < 12000; ++i)); do eval "$1" && return; sleep 0.01; done
  return 1
}
shown() { grep -q "$1" console; }
size() { stat -c %s "$1" 2>/dev/null || echo -1; }
# Runs the tool on data.ymt in the background, under strace with the options
# given; its process id goes to "pid" (strace traces only that thread, the
# one that repairs).
start() {
  rm -f pid console
  ASAN_OPTIONS=detect_leaks=0 strace -o trace "$@" \
    sh -c 'echo $$ >pid && exec "$0" "$@"' "$tool" data.ymt \
    </dev/null >console 2>&1 &
  tracer=$!
  await '[[ -s pid ]]' || fail "the tool did not start"
}
# Kills the tool, waits for it, and sorts what it left. strace holds a
# killed tool until it lets go of it: strace is killed next.
old=0 new=0
kill_and_sort() {
  kill -KILL "$(cat pid)" 2>/dev/null || true
  kill -KILL "$tracer" 2>/dev/null || true
  wait 2>/dev/null || true
  if cmp -s data.ymt original; then old=$((old + 1))
  elif cmp -s data.ymt repaired; then new=$((new + 1))
  else fail "$1: a partial or missing data file"; fi
}

# Each message shows at once: here while the tool is held just before the
# repair's rename (LeakSanitizer, in a sanitizer build, cannot work under
# strace), and then while it waits for Enter.
printf '<0x1/>\n' >original
sed 's/^<0x/<UNK_MEMBER_0x/' original >repaired
cp original data.ymt
start -e trace=rename,renameat,renameat2,openat,fsync,close \
  -e inject=rename,renameat,renameat2:delay_enter=10s
await 'shown "Attempting to fix invalid XML <0x1/>"' || fail "no message"
cmp -s data.ymt original || fail "the message showed only after the rename"
wait
# The repair is on the disk once the tool goes on: after the rename, the
# folder that holds the new name is opened and forced to disk.
awk '/rename.*"data.ymt_tmp".*"data.ymt"\) += 0/ { renamed = 1 }
  renamed && /openat\(AT_FDCWD, "\.", .*O_DIRECTORY.*\) = [0-9]+$/ { folder = $NF }
  folder != "" && $0 ~ "fsync\\(" folder "\\) += 0" { synced = 1 }
  END { exit !synced }' trace || fail "the folder is not forced to disk"
mkfifo enter
{ "$tool" data.ymt <enter >console 2>&1; echo $? >status; } &
exec 3>enter  # the tool waits at its prompt until this line is written
await 'shown "Press Enter to exit...$"' || fail "the prompt is not shown"
echo >&3 && exec 3>&- && wait
[[ $(cat status) == 0 ]] || fail "the tool did not end well at its prompt"

# 24 MB of hashed XML with CR LF line ends and a bare tag on every 40th line;
# only the closing tag's hash is known (it is "abc").
awk 'BEGIN { for (i = 0; i < 600000; ++i)
  printf "%s%d</UNK_MEMBER_0xED131F5B>\r\n",
    i % 40 ? "  <UNK_MEMBER_0x12345678>" : "<0x12345678>", i }' >original
sed 's/^<0x/<UNK_MEMBER_0x/' original >repaired
cp original data.ymt
"$tool" data.ymt </dev/null >/dev/null
cmp -s data.ymt repaired || fail "the undisturbed run's repair"
# The copy, dehashed a block at a time, is whole and in order: the default
# run leaves a line alone after an unknown first hash; complete mode names
# the closing tags.
tr -d '\r' <repaired >expected
cmp -s data_dehashed.ymt expected || fail "the dehashed copy"
"$tool" --complete data.ymt </dev/null >/dev/null
sed 's/UNK_MEMBER_0xED131F5B/abc/' expected | cmp -s data_dehashed.ymt - ||
  fail "the complete dehashed copy"

whole=$(size repaired)
renames=rename,renameat,renameat2
# Held at the rename, the whole repaired text written: it has not replaced
# the data file yet.
cp original data.ymt
start -e trace=$renames -e inject=$renames:delay_enter=600s
await '(($(size data.ymt_tmp) == whole))' || fail "no whole _tmp"
kill_and_sort "held before the rename"
((old == 1)) || fail "a kill before the rename left the repaired file"
# Held just after the rename: it has.
cp original data.ymt
start -e trace=$renames -e inject=$renames:delay_exit=600s
await '[[ ! -e data.ymt_tmp ]] && (($(size data.ymt) == whole))' ||
  fail "no rename"
kill_and_sort "held after the rename"
((new == 1)) || fail "a kill after the rename left the original"
# While the temporary file grows, at a quarter, a half and three quarters
# of its size, or later if the poll is slow: either outcome is sound.
for part in 1 2 3; do
  cp original data.ymt
  start -e trace=none
  await '(($(size data.ymt_tmp) >= whole * part / 4)) ||
    [[ ! -e /proc/$(cat pid) ]]' || fail "no _tmp"
  kill_and_sort "a kill at $part/4 of the _tmp"
done
# At the closing prompt, all done.
cp original data.ymt
start -e trace=none
await 'shown "Press Enter to exit..."' || fail "no prompt"
kill_and_sort "a kill at the prompt"
tr -d '\r' <repaired | cmp -s data_dehashed.ymt - || fail "the copy at the prompt"
echo "$old kills left the original, $new the repaired file"
