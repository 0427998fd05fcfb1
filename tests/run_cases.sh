#!/usr/bin/env bash
# Runs the tool on every case under tests/cases and compares its console
# output and the files it leaves, byte for byte.
#
#   tests/run_cases.sh TOOL [RUNNER]    RUNNER runs TOOL, e.g. wine
#
# A case is a folder: `args` (one argument a line), `stdin` (what the
# closing prompt reads; a line feed if there is none), `in/` (the files the run
# starts with), `stdout` and `out/` (the console output and every file
# expected afterwards). There, a file NAME.symlink stands for a symbolic link
# NAME to what it holds, NAME.hardlink for a hard link NAME to the file it
# names (in the same folder), and NAME.fifo for a FIFO NAME, which is shown
# as an empty NAME.fifo again when the files left are compared. A file
# `file-size-limit` caps, in KiB, every file the tool writes, its console
# output included (a write past it fails instead of killing the tool). The
# folders and files that `immutable` names (one a line) are made immutable
# for the run, so that not even root may write there (chattr +i; for any
# other user, their write bits are taken away). A case
# holding a file `posix` needs a POSIX system. Where the Windows build is to
# print or write otherwise (its paths have backslashes), `stdout.windows`
# and `out/NAME.windows` are what it must give instead.
# A Windows build (run through RUNNER) writes its console output and the
# dehashed copies (those beside their data files, and every file in a folder
# named "copies") in text mode, so there they are expected with CR LF.
set -uo pipefail
tool=$(cd "$(dirname "$1")" && pwd)/$(basename "$1") runner=${2:-}
cases=$(cd "$(dirname "$0")/cases" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# Only root may make a path immutable; for anyone else, taking away the
# write bits does the same.
if ((EUID == 0)); then
  lock() { chattr +i "$1"; } && unlock() { chattr -i "$1"; }
else
  lock() { chmod a-w "$1"; } && unlock() { chmod u+w "$1"; }
fi
text_mode() { if [[ -n $runner ]]; then perl -pe 's/\n/\r\n/g'; else cat; fi; }
passed=0 failed=0 skipped=0
for case in "$cases"/*/; do
  name=$(basename "$case")
  if [[ -e $case/posix && -n $runner ]]; then
    echo "skipped $name: it needs a POSIX system"
    skipped=$((skipped + 1)) && continue
  fi
  work=$scratch/$name/work expected=$scratch/$name/expected
  mkdir -p "$work" "$expected"
  cp -a "$case/in/." "$work" 2>/dev/null
  cp -a "$case/out/." "$expected" 2>/dev/null
  while IFS= read -r -d '' stand_in; do
    case $stand_in in
      *.symlink) ln -s "$(cat "$stand_in")" "${stand_in%.symlink}" ;;
      *.hardlink) ln "$(dirname "$stand_in")/$(cat "$stand_in")" "${stand_in%.hardlink}" ;;
      *.fifo) mkfifo "${stand_in%.fifo}" ;;
    esac && rm "$stand_in"
  done < <(find "$work" \( -name '*.symlink' -o -name '*.hardlink' \
             -o -name '*.fifo' \) -print0
           find "$expected" \( -name '*.symlink' -o -name '*.hardlink' \) -print0)
  while IFS= read -r -d '' copy; do
    text_mode <"$copy" >"$copy.text" && mv "$copy.text" "$copy"
  done < <(find "$expected" -type f \( -name '*_dehashed*' -o -path '*/copies/*' \) \
             -print0)
  find "$expected" -type f -name '*.windows' -exec sh -c \
    'if [ -n "$1" ]; then mv "$0" "${0%.windows}"; else rm "$0"; fi' {} "$runner" \;
  stdout=$case/stdout
  [[ -n $runner && -e $case/stdout.windows ]] && stdout=$case/stdout.windows
  text_mode <"$stdout" >"$scratch/$name/stdout"
  mapfile -t args <"$case/args"
  # On Linux, as few file handles as the tool needs (the standard three, two
  # files, the two word lists that may still be loading meanwhile, and two
  # replaced files that threads of their own may not yet have let go of on
  # a busy machine), so that one left open shows; and no file past 10 MB,
  # so that a fault that writes without end cannot fill the disk. A run that
  # hangs fails.
  size_limit=$(cat "$case/file-size-limit" 2>/dev/null || echo 10000)
  mapfile -t immutable < <(cat "$case/immutable" 2>/dev/null)
  for path in "${immutable[@]}"; do lock "$work/$path"; done
  { cat "$case/stdin" 2>/dev/null || echo; } | (cd "$work" &&
    if [[ -z $runner ]]; then
      for fd in $(ls /proc/$BASHPID/fd); do ((fd < 3)) || eval "exec $fd>&-"; done
      ulimit -n 9
    fi && trap '' XFSZ && ulimit -f "$size_limit" &&
    timeout 60 $runner "$tool" "${args[@]}") >"$scratch/$name/got"
  # The tool's own status: a run that never reads its input may end before
  # the feeding side writes, which then dies of SIGPIPE.
  status=${PIPESTATUS[1]}
  for path in "${immutable[@]}"; do unlock "$work/$path"; done
  find "$work" -type p -exec sh -c 'rm "$0" && : >"$0.fifo"' {} \;
  if ((status != 0)); then
    echo "FAILED $name: the tool's exit status is $status, not 0"
  elif ! diff -a "$scratch/$name/stdout" "$scratch/$name/got"; then
    echo "FAILED $name: console output differs"
  elif ! diff -r --no-dereference "$expected" "$work"; then
    echo "FAILED $name: files differ"
  else
    passed=$((passed + 1)) && continue
  fi
  failed=$((failed + 1))
done
echo "$passed passed, $failed failed, $skipped skipped"
[[ $failed -eq 0 ]]
