# What the Python tests share: running the tool in a scratch folder of
# their own, bounded in time and in the size of what it writes, and the
# hash, written independently of the tool's.
import os
import pathlib
import resource
import subprocess
import tempfile

# A bound on one run that no machine, however busy, comes near: a run that
# reaches it has hung.
RUN_TIMEOUT = 300


def start(argv):
    """The tool's path from argv[1]; no file it writes grows past 64 MB.

    A fault that writes without end then kills the tool (SIGXFSZ) instead
    of filling the disk."""
    resource.setrlimit(resource.RLIMIT_FSIZE, (64 << 20, 64 << 20))
    return os.path.abspath(argv[1])


def scratch():
    """A scratch folder that is removed with all it holds."""
    return tempfile.TemporaryDirectory()


def write_files(folder, files):
    """Writes each {name: text} into `folder`, made if need be."""
    os.makedirs(folder, exist_ok=True)
    for name, text in files.items():
        pathlib.Path(folder, name).write_bytes(text.encode())


def read_files(folder):
    """Every file under `folder`, as {relative path: bytes}."""
    files = {}
    for at, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(at, name)
            files[os.path.relpath(path, folder)] = pathlib.Path(path).read_bytes()
    return files


def run(command, folder, stdin=b"\n"):
    """Runs `command` in `folder`; returns (status, console as text)."""
    done = subprocess.run(command, cwd=folder, input=stdin,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          timeout=RUN_TIMEOUT,
                          env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0"))
    return done.returncode, done.stdout.decode("latin-1")


def name_hash(name, lower=False):
    """The one-at-a-time hash over signed bytes; `lower`: an archive item's."""
    h = 0
    for byte in name.encode():
        byte += 32 if lower and 65 <= byte <= 90 else 0
        h = (h + (byte - 256 if byte >= 128 else byte)) & 0xFFFFFFFF
        h = (h + (h << 10)) & 0xFFFFFFFF
        h ^= h >> 6
    h = (h + (h << 3)) & 0xFFFFFFFF
    h ^= h >> 11
    return (h + (h << 15)) & 0xFFFFFFFF
