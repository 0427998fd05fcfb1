#!/usr/bin/env python3
# Fails the tool's system calls one at a time and checks that nothing is lost.
#
#   tests/fault_injection.py TOOL [--files-only]
#
# A run of each mode that repairs and dehashes two data files, and one that
# writes their copies into a folder of their own (--out), is traced once
# with strace. Then, for every system call it makes after start-up on its own
# files and folder and, unless --files-only (for sanitizer builds, whose
# runtimes map memory of their own), every memory map and thread it makes,
# the run is repeated with that one call failing (strace's inject, with an
# error that fits the call). strace counts calls per thread: the Nth call
# fails in each thread that makes N. After each run the tool ended by itself
# with status 0 at its prompt (but --accept, which has none); each data file
# and word list holds the original or the whole new text; each copy (and the unknown list) is absent or what the data
# file now there gives; and anything not as after a clean run was reported
# with an "ERROR: " line.
import collections
import os
import re
import shutil
import subprocess
import sys

import tool_run

# big.xml is copied in blocks, on two threads. 0x2D778433 is the archive hash
# of Prop_Crate; the hunt finds farClip (0xEE0379A9) at the end of big.xml.
DATA = {
    "data.ymt": "<0xED131F5B>1</0xED131F5B>\r\n  <0x9CA0FEA6>0x3A2AE3B5</0x9CA0"
                "FEA6>\r\n<UNK_MEMBER_0x12345678>0x2D778433</UNK_MEMBER_0x1234"
                "5678>\r\n",
    "big.xml": "<big>\n" + "".join(
        f"  <UNK_MEMBER_0xED131F5B>{i}</UNK_MEMBER_0x{i:08X}>\n"
        for i in range(5000)) + "<farClip>0xEE0379A9</farClip>\n</big>\n",
    "MemberNames.txt": "abc\nlodDistance\n",
    "ArchiveItems.txt": "Prop_Crate\n",
    "found.txt": "0xEE0379A9\tfarClip\tmember\t1\tbig.xml\tdata\n"
                 "0x5CC4B2EB\tProp_Door\tarchive\t1\tbig.xml\tdata\n",
}
# Each mode's arguments and the copies it writes.
MODES = {"default": (["data.ymt", "big.xml"],
                     ["data_dehashed.ymt", "big_dehashed.xml"]),
         "complete": (["--complete", "--unknown", "unknown.txt", "data.ymt",
                       "big.xml"], ["data_dehashed.ymt", "big_dehashed.xml"]),
         "out": (["--complete", "--out", "copies", "data.ymt", "big.xml"],
                 ["copies/data.ymt", "copies/big.xml"]),
         "hunt": (["--complete", "--hunt", "hunted.txt", "data.ymt",
                   "big.xml"], ["data_dehashed.ymt", "big_dehashed.xml"]),
         "accept": (["--accept", "found.txt"], [])}
ERRORS = collections.defaultdict(lambda: "EIO", {
    "openat": "EACCES", "rename": "EACCES", "unlink": "EACCES",
    "newfstatat": "EACCES", "write": "ENOSPC", "fchown": "EPERM",
    "fchmod": "EPERM", "fcntl": "EINTR", "close": "EINTR", "mmap": "ENOMEM",
    "munmap": "ENOMEM", "mprotect": "ENOMEM", "madvise": "ENOMEM",
    "clone3": "EAGAIN", "clone": "EAGAIN"})
# (Not brk: the kernel's brk never fails with an error, it returns the old
# break, which an injected error cannot stand for.)
MEMORY_CALLS = {"mmap", "munmap", "mprotect", "madvise", "clone", "clone3"}
CALL = re.compile(r"^(\d+)\s+(\w+)\((.*)$")


def run(tool, folder, args, strace=(), blocked=()):
    """Runs the tool in a new `folder`; returns (status, console, files)."""
    tool_run.write_files(folder, DATA)
    for name in blocked:
        os.mkdir(os.path.join(folder, name))
    status, console = tool_run.run(list(strace) + [tool] + args, folder)
    return status, console, tool_run.read_files(folder)


def planned_faults(tool, folder, args, files_only):
    """Every (call, file, n) to fail: the nth such call in each thread."""
    trace = folder + ".trace"
    run(tool, folder, args, ["strace", "-f", "-qq", "-y", "-o", trace])
    counts, startup = collections.Counter(), collections.Counter()
    main_thread, started = None, False
    for line in open(trace):
        match = CALL.match(line)
        if not match:
            continue  # a resumed call, a signal, an exit
        thread, call, args = match.groups()
        main_thread = main_thread or thread
        # Started once the first list or report is opened (the report's
        # name is an argument, which the execve shows too).
        started = started or call.startswith("open") and (
            "MemberNames.txt" in args or "found.txt" in args)
        if not started:
            startup[call] += 1
            continue
        # The run's files that the call names, or whose descriptor it uses,
        # as strace's -P matches them.
        keys = set(re.findall(r'"(?:' + folder + r'/)?(\w[\w./]*|\.)"', args))
        keys |= {path.lstrip("/") or "." for path in
                 re.findall(r"\d+<" + folder + r"(/[\w./]+)?>", args)}
        for key in keys:
            counts[(thread, call, key)] += 1
        if not keys and call in MEMORY_CALLS and not files_only:
            counts[(thread, call, None)] += 1
    most = collections.defaultdict(int)
    for (thread, call, key), count in counts.items():
        # The main thread's count goes on from its start-up calls, which
        # must not fail.
        skip = startup[call] if key is None and thread == main_thread else 0
        most[(call, key)] = max(most[(call, key)], skip + count)
    return [(call, key, n) for (call, key), count in sorted(most.items(),
                                                            key=str)
            for n in range(startup[call] + 1 if key is None else 1,
                           count + 1)]


def check(status, console, files, expected, from_original, copies):
    problems = []
    if status != 0 or not (console.endswith("Press Enter to exit...") or
                           not copies):
        problems.append(f"status {status}, or no closing prompt")
    for name in ["data.ymt", "big.xml", "MemberNames.txt", "ArchiveItems.txt"]:
        if files.get(name) not in (DATA[name].encode(), expected[name]):
            problems.append(f"{name} is neither the original nor the new")
    right = (expected if files.get("data.ymt") == expected["data.ymt"]
             else from_original)
    for name in copies:
        if name in files and files[name] != right.get(name):
            problems.append(f"{name} is not what its data file gives")
    # The unknown list counts the copies made: fewer when one is missing.
    if (all(name in files for name in copies) and "unknown.txt" in files and
            files["unknown.txt"] != right["unknown.txt"]):
        problems.append("unknown.txt is not what the data files give")
    if files != expected and "ERROR: " not in console:
        problems.append("a difference from a clean run went unreported")
    if re.search(r"ERROR: Could not write file [^\n]*_dehashed[^\n]*\nNamed ",
                 console):
        problems.append("a copy that failed was counted as made")
    return problems


def main():
    tool = tool_run.start(sys.argv)
    scratch = tool_run.scratch()
    failures, total, landed = [], 0, 0
    try:
        for mode, (args, copies) in MODES.items():
            # What a clean run leaves, and a run whose repair cannot begin
            # (a folder stands at the temporary path).
            _, _, expected = run(tool, f"{scratch.name}/{mode}", args)
            _, _, from_original = run(tool, f"{scratch.name}/{mode}-unrepaired",
                                      args, blocked=["data.ymt_tmp"])
            for call, key, n in planned_faults(
                    tool, f"{scratch.name}/{mode}-traced", args,
                    "--files-only" in sys.argv):
                folder = f"{scratch.name}/run{total}"
                strace = ["strace", "-f", "-qq", "-o", folder + ".trace",
                          "-e", "trace=" + call,
                          "-e", f"inject={call}:error={ERRORS[call]}:when={n}"]
                if key is not None:
                    strace += ["-P", key, "-P", os.path.join(folder, key)]
                total += 1
                try:
                    status, console, files = run(tool, folder, args, strace)
                    problems = check(status, console, files, expected,
                                     from_original, copies)
                except subprocess.TimeoutExpired:
                    problems, console = ["the tool did not end"], ""
                landed += "INJECTED" in open(folder + ".trace").read()
                if problems:
                    failures.append(f"{mode} {call} {key} {n}: " +
                                    "; ".join(problems) + "\n" + console)
                shutil.rmtree(folder)
    finally:
        scratch.cleanup()
    for failure in failures:
        print("FAILED", failure)
    print(f"{total} runs with a failing system call ({landed} of them "
          f"failed a call); {len(failures)} unsound")
    # A fault that never lands tests nothing: nearly all must.
    sys.exit(1 if failures or landed < total * 0.9 else 0)


if __name__ == "__main__":
    main()
