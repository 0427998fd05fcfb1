#!/usr/bin/env bash
# Under Wine: a data file that another program holds open for a moment,
# without letting it be deleted, is still replaced by its repair; one held
# until the tool has ended is left as it was, with the repaired text in
# "_tmp" and the rename's error.
#
#   tests/windows/held_files.sh TOOL HOLD_FILE RUNNER
set -euo pipefail
tool=$1 hold=$2 runner=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
printf 'abc\r\n' >MemberNames.txt
printf 'abc\r\n' >ArchiveItems.txt
printf '<0xED131F5B>1</0xED131F5B>\r\n' >original
printf '<UNK_MEMBER_0xED131F5B>1</0xED131F5B>\r\n' >repaired
printf '<abc>1</0xED131F5B>\r\n' >copy

# Holds data.ymt until a file $1 appears and $2 ms more, starting before the
# tool does; the tool's console output goes to "console". The long hold
# ends only once the tool has ended.
run_while_held() {
  cp original data.ymt
  rm -f data.ymt_tmp data_dehashed.ymt release
  $runner "$hold" data.ymt "$1" "$2" >held &
  for ((i = 0; i < 3000; ++i)); do grep -q held held 2>/dev/null && break; sleep 0.1; done
  grep -q held held || { echo "FAILED: the file was never held"; exit 1; }
  echo | $runner "$tool" data.ymt >console
  : >release
  wait
}

fail() { echo "FAILED: $1"; cat console; exit 1; }

# Let go of a second after the repaired text is written: the tool waits
# for it. (Should the tool come to the rename only later, it finds the file
# free: the outcome is the same.)
run_while_held data.ymt_tmp 1000
cmp -s data.ymt repaired || fail "the repair did not land"
[[ ! -e data.ymt_tmp ]] || fail "a _tmp was left"
grep -q ERROR console && fail "an error was reported"
cmp -s data_dehashed.ymt copy || fail "the copy is not of the repaired file"

# Held until the tool has ended: as before, the rename fails.
run_while_held release 0
grep -q "ERROR: Could not rename file, check your file permissions." console ||
  fail "no error for the held file"
cmp -s data.ymt original || fail "the held data file changed"
cmp -s data.ymt_tmp repaired || fail "the repaired text is not in _tmp"
echo "held files: passed"
