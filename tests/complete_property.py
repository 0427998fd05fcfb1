#!/usr/bin/env python3
# Complete mode on seeded random XML documents:
# A well-formed document whose element names, attribute values and
# element values were hashed (some tags bare, long lines, many hashes a
# line, CR LF or LF), with word lists that hold every name: complete mode
# leaves a repaired file and a copy that an XML parser reads, and the copy
# is the original (line ends aside).
# With --out, the copy in its folder is the same, and the data file is
# left as it was: its bytes, its inode and its times.
#
#   tests/complete_property.py TOOL [DOCUMENTS]
import pathlib
import random
import sys
import xml.dom.minidom

from tool_run import name_hash, run as run_tool, scratch as new_scratch, start


def make_names(rng):
    # Valid XML names, each under a hash no other has; a fifth are archive
    # items, hashed lower-cased. Returns the two lists and each name's hash.
    members, items, hash_of = [], [], {}
    starts = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_"
    while len(hash_of) < 300:
        name = rng.choice(starts) + "".join(
            rng.choice(starts + "0123456789.-") for _ in range(rng.randint(0, 30)))
        item = rng.random() < 0.2
        h = name_hash(name, lower=item)
        if name not in hash_of and h not in hash_of.values():
            hash_of[name] = h
            (items if item else members).append(name)
    return members, items, hash_of


def random_document(rng, names, hash_of):
    original, hashed = [], []
    end = "\r\n" if rng.random() < 0.5 else "\n"

    def emit(plain, hidden, newline=False):
        original.append(plain + (end if newline else ""))
        hashed.append(hidden + (end if newline else ""))

    def digits(name):
        return ("%08X" if rng.random() < 0.7 else "%08x") % hash_of[name]

    def element(depth):
        name = rng.choice(names)
        # Bare or not; the repaired file holds the same name in both tags.
        tag = ("0x" if rng.random() < 0.25 else "UNK_MEMBER_0x") + digits(name)
        close = tag if rng.random() < 0.8 else "UNK_MEMBER_0x" + tag[-8:]
        indent = " " * rng.randint(0, 2 * depth) if rng.random() < 0.7 else ""
        emit(indent + "<" + name, indent + "<" + tag)
        for i in range(rng.choice([0, 0, 1, 2, 8])):
            value = rng.choice(names)
            plain = ' a%d="%s"' % (i, value) if i % 3 else ' n%d="%d"' % (i, i)
            emit(plain, plain.replace('"' + value, '"UNK_MEMBER_0x' + digits(value)))
        kind = rng.random()
        if kind < 0.2 or depth > 4:
            emit("/>", "/>", rng.random() < 0.5)
            return
        if kind < 0.6:
            value = rng.choice(names)
            emit(">" + value, ">0x" + digits(value))
        else:
            emit(">", ">", rng.random() < 0.7)
            for _ in range(rng.randint(1, 4)):
                element(depth + 1)
        emit("</" + name + ">", "</" + close + ">", rng.random() < 0.7)

    emit('<?xml version="1.0"?>', '<?xml version="1.0"?>', True)
    element(0)
    return "".join(original), "".join(hashed)


def run(tool, folder, text, name, out=False):
    path = pathlib.Path(folder, name)
    path.write_bytes(text)
    before = path.stat()
    switches = ["--complete"] + (["--out", "copies"] if out else [])
    status, _ = run_tool([tool] + switches + [name], folder)
    assert status == 0, "the tool exited with %d" % status
    if out:
        after = path.stat()
        assert path.read_bytes() == text and (after.st_ino, after.st_mtime_ns) \
            == (before.st_ino, before.st_mtime_ns), "the data file changed"
        return path.read_bytes(), pathlib.Path(folder, "copies", name).read_bytes()
    return (path.read_bytes(),
            path.with_name(path.stem + "_dehashed.xml").read_bytes())


def main():
    tool = start(sys.argv)
    documents = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    rng = random.Random(20261206)
    members, items, hash_of = make_names(rng)
    failures = 0
    with new_scratch() as scratch:
        for file, names in (("MemberNames.txt", members),
                            ("ArchiveItems.txt", items)):
            pathlib.Path(scratch, file).write_text("".join(n + "\n" for n in names))
        for i in range(documents):
            original, hashed = random_document(rng, members + items, hash_of)
            problems = []
            for text in run(tool, scratch, hashed.encode(), "doc.xml"):
                try:
                    xml.dom.minidom.parseString(text)
                except Exception as error:  # the parser's own error types
                    problems.append("not well-formed: %s" % error)
            if text != original.replace("\r\n", "\n").encode():
                problems.append("the dehashed copy is not the original")
            if run(tool, scratch, hashed.encode(), "doc.xml", True)[1] \
                    != text:
                problems.append("the copy in its folder is not the same")
            if problems:
                failures += 1
                print("FAILED document %d: %s\n%s" % (i, problems, hashed))
    print("%d documents, %d failed" % (documents, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
