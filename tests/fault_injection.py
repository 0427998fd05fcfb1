#!/usr/bin/env python3
"""Fails the tool's system calls one at a time and checks that nothing is lost.

    tests/fault_injection.py TOOL [--files-only]

A run that repairs and dehashes two data files is traced once with strace,
in each mode. Then, for every system call that the tool makes after start-up
on the run's own files (the word lists, the data files, the temporary file,
the copies, the unknown list, the folder) and, unless --files-only (for
sanitizer builds, whose runtime maps memory of its own), for every memory map
and thread it makes, the same run is repeated with that one call failing:
strace's `inject` with an error that fits the call. strace counts calls per
thread, so the Nth such call fails in each thread that makes N of them.

After each run: the tool ended by itself with status 0 at its closing
prompt; each data file holds the original or the whole repaired text; each
copy (and the unknown list) is absent or exactly what a run from that data
file writes; and whatever is not as after a clean run was reported with an
"ERROR: " line.
"""

import collections
import os
import re
import shutil
import subprocess
import sys
import tempfile

# 200 KB, so that its copy is made in two blocks, on two threads.
BIG = "".join(
    f"  <UNK_MEMBER_0xED131F5B>{i}</UNK_MEMBER_0x{i:08X}>\n" for i in range(5000))
DATA = {
    "data.ymt": "<0xED131F5B>1</0xED131F5B>\r\n"
                "  <0x9CA0FEA6>0x3A2AE3B5</0x9CA0FEA6>\r\n"
                "<UNK_MEMBER_0x12345678>0x2D778433</UNK_MEMBER_0x12345678>\r\n",
    "big.xml": "<big>\n" + BIG + "</big>\n",
}
# 0x2D778433 is the archive hash of Prop_Crate.
LISTS = {"MemberNames.txt": "abc\nlodDistance\n",
         "ArchiveItems.txt": "Prop_Crate\n"}
MODES = {
    "default": ["data.ymt", "big.xml"],
    "complete": ["--complete", "--unknown", "unknown.txt", "data.ymt",
                 "big.xml"],
}
OUTPUTS = ["data_dehashed.ymt", "big_dehashed.xml", "unknown.txt"]

# The error each call fails with: what the system gives such a call when a
# disk, a folder's permissions or the memory fail it.
ERRORS = collections.defaultdict(lambda: "EIO", {
    "openat": "EACCES", "open": "EACCES", "rename": "EACCES",
    "renameat": "EACCES", "renameat2": "EACCES", "unlink": "EACCES",
    "unlinkat": "EACCES", "newfstatat": "EACCES", "write": "ENOSPC",
    "pwrite64": "ENOSPC", "writev": "ENOSPC", "fchown": "EPERM",
    "fchmod": "EPERM", "fcntl": "EINTR", "close": "EINTR",
    "mmap": "ENOMEM", "munmap": "ENOMEM", "mprotect": "ENOMEM",
    "madvise": "ENOMEM", "clone": "EAGAIN",
    "clone3": "EAGAIN"})
# (brk is left out: the kernel's brk never fails with an error; it returns
# the old break, which an injected error cannot stand for.)
MEMORY_CALLS = {"mmap", "munmap", "mprotect", "madvise", "clone", "clone3"}


def fill(folder, extra=()):
    for name, text in {**LISTS, **DATA}.items():
        with open(os.path.join(folder, name), "w", newline="") as f:
            f.write(text)
    for name in extra:
        os.mkdir(os.path.join(folder, name))


def run(tool, folder, args, strace=()):
    """Runs the tool in `folder`; returns (status, console, files left)."""
    result = subprocess.run(
        list(strace) + [tool] + args, cwd=folder, input=b"\n",
        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=120,
        env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0"))
    files = {}
    for name in os.listdir(folder):
        path = os.path.join(folder, name)
        if name == "trace" or os.path.isdir(path):
            continue
        with open(path, "rb") as f:
            files[name] = f.read()
    return result.returncode, result.stdout.decode("latin-1"), files


CALL = re.compile(r"^(\d+)\s+(\w+)\((.*)$")


def calls_after_start(trace, folder):
    """The calls of a traced run from its first look at a word list on.

    Yields (thread, call, keys): keys name the run's files and folder that
    the call touches, as strace's -P would match them ("." for the folder).
    """
    started = False
    with open(trace) as lines:
        for line in lines:
            match = CALL.match(line)
            if not match:
                continue  # a resumed call, a signal, an exit
            thread, call, args = match.groups()
            started = started or "MemberNames.txt" in args
            if not started:
                continue
            keys = set()
            for name in re.findall(r'"([^"]*)"', args):
                if name.startswith(folder + "/"):
                    name = name[len(folder) + 1:]
                if name and not name.startswith("/") and "\\" not in name:
                    keys.add(name)
            for path in re.findall(r"\d+<([^>]*)>", args):
                if path == folder:
                    keys.add(".")
                elif path.startswith(folder + "/"):
                    keys.add(path[len(folder) + 1:])
            yield thread, call, keys


def planned_faults(tool, scratch, args, files_only):
    """Every (call, key, n) to fail: the nth such call in each thread."""
    folder = os.path.join(scratch, "traced")
    os.mkdir(folder)
    fill(folder)
    trace = os.path.join(folder, "trace")
    run(tool, folder, args, ["strace", "-f", "-qq", "-y", "-o", trace])
    counts = collections.Counter()
    startup = collections.Counter()
    main_thread = None
    with open(trace) as lines:
        for line in lines:
            match = CALL.match(line)
            if match and "MemberNames.txt" in match.group(3):
                break
            if match:
                main_thread = main_thread or match.group(1)
                startup[match.group(2)] += 1
    for thread, call, keys in calls_after_start(trace, folder):
        for key in keys:
            counts[(thread, call, key)] += 1
        if not keys and call in MEMORY_CALLS and not files_only:
            counts[(thread, call, None)] += 1
    most = collections.defaultdict(int)
    for (thread, call, key), count in counts.items():
        # The main thread's count goes on from its start-up calls, which
        # must not fail; the other threads count from their own start.
        first = startup[call] if key is None and thread == main_thread else 0
        most[(call, key)] = max(most[(call, key)], first + count)
    faults = []
    for (call, key), count in sorted(most.items(), key=str):
        first = startup[call] + 1 if key is None else 1
        faults += [(call, key, n) for n in range(first, count + 1)]
    shutil.rmtree(folder)
    return faults


def main():
    tool = os.path.abspath(sys.argv[1])
    files_only = "--files-only" in sys.argv[2:]
    scratch = tempfile.mkdtemp()
    failures = []
    total = landed = 0
    try:
        for mode, args in MODES.items():
            # What a clean run leaves, and what a run leaves whose repair
            # cannot even begin (a folder stands at the temporary path).
            clean = os.path.join(scratch, mode + "-clean")
            unrepaired = os.path.join(scratch, mode + "-unrepaired")
            os.mkdir(clean)
            os.mkdir(unrepaired)
            fill(clean)
            fill(unrepaired, ["data.ymt_tmp"])
            _, _, expected = run(tool, clean, args)
            _, _, from_original = run(tool, unrepaired, args)
            assert expected["data.ymt"] != DATA["data.ymt"].encode()
            for fault in planned_faults(tool, scratch, args, files_only):
                call, key, n = fault
                folder = os.path.join(scratch, "run")
                os.mkdir(folder)
                fill(folder)
                strace = ["strace", "-f", "-qq", "-o",
                          os.path.join(folder, "trace"), "-e", "trace=" + call,
                          "-e", f"inject={call}:error={ERRORS[call]}:when={n}"]
                if key is not None:
                    strace += ["-P", key, "-P", os.path.join(folder, key)]
                total += 1
                try:
                    status, console, files = run(tool, folder, args, strace)
                except subprocess.TimeoutExpired:
                    failures.append(f"{mode} {fault}: the tool did not end")
                    shutil.rmtree(folder)
                    continue
                with open(os.path.join(folder, "trace")) as f:
                    landed += "INJECTED" in f.read()
                problems = check(status, console, files, expected,
                                 from_original)
                if problems:
                    failures.append(f"{mode} {fault}: " + "; ".join(problems)
                                    + "\n" + console)
                shutil.rmtree(folder)
    finally:
        shutil.rmtree(scratch)
    for failure in failures:
        print("FAILED", failure)
    print(f"{total} runs with a failing system call ({landed} of them "
          f"failed a call); {len(failures)} unsound")
    # A fault that never lands tests nothing: most must.
    sys.exit(1 if failures or landed < total * 0.9 else 0)


def check(status, console, files, expected, from_original):
    problems = []
    if status != 0:
        problems.append(f"exit status {status}")
    if not console.endswith("Press Enter to exit..."):
        problems.append("no closing prompt")
    for name, original in DATA.items():
        data = files.get(name)
        if data not in (original.encode(), expected[name]):
            problems.append(f"{name} is neither the original nor repaired")
    # Each output stands for the data files as they are now.
    repaired = files.get("data.ymt") == expected["data.ymt"]
    right = expected if repaired else from_original
    copies = [name for name in OUTPUTS if name != "unknown.txt"]
    for name in copies:
        if name in files and files[name] != right[name]:
            problems.append(f"{name} is not what its data file gives")
    # The unknown list counts the hashes of the copies made: when one is
    # missing (reported), it counts fewer.
    if (all(name in files for name in copies) and "unknown.txt" in files and
            files["unknown.txt"] != right["unknown.txt"]):
        problems.append("unknown.txt is not what the data files give")
    if files != expected and "ERROR: " not in console:
        problems.append("a difference from a clean run went unreported: " +
                        ", ".join(sorted(set(files) ^ set(expected)) or
                                  [n for n in files if files[n] !=
                                   expected.get(n)]))
    return problems


if __name__ == "__main__":
    main()
