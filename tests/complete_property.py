#!/usr/bin/env python3
"""Properties of complete mode, checked on seeded random XML documents.

1. A well-formed document whose element names, attribute values and element
   values were hashed (some tags bare, long lines, several hashes on a line,
   CR LF and LF), with word lists that hold every name: complete mode leaves
   a repaired file and a dehashed copy that an XML parser reads, and the copy
   is the original document (line ends aside).
2. A document whose lines meet none of the default run's limits (short, at
   most two member hashes, the first one known, and one value; bare tags
   only at a line's start): both modes write the same bytes.

    tests/complete_property.py TOOL [DOCUMENTS]
"""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import xml.dom.minidom


def name_hash(name, lower=False):
    """The one-at-a-time hash over signed bytes, written independently."""
    h = 0
    for byte in name.encode():
        if lower and 65 <= byte <= 90:
            byte += 32
        h = (h + (byte - 256 if byte >= 128 else byte)) & 0xFFFFFFFF
        h = (h + (h << 10)) & 0xFFFFFFFF
        h ^= h >> 6
    h = (h + (h << 3)) & 0xFFFFFFFF
    h ^= h >> 11
    return (h + (h << 15)) & 0xFFFFFFFF


class Names:
    """Valid XML names, each with a hash no other name has."""

    def __init__(self, rng):
        self.rng = rng
        self.members, self.items, self.by_hash = [], [], {}
        starts = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ_"
        rest = starts + "0123456789.-"
        while len(self.members) + len(self.items) < 300:
            name = rng.choice(starts) + "".join(
                rng.choice(rest) for _ in range(rng.randint(0, 30)))
            item = rng.random() < 0.2
            h = name_hash(name, lower=item)
            if h in self.by_hash or name in self.by_hash.values():
                continue
            self.by_hash[h] = name
            (self.items if item else self.members).append(name)
        self.hash_of = {n: h for h, n in self.by_hash.items()}

    def pick(self):
        return self.rng.choice(self.members + self.items)

    def hashed(self, name, form):
        digits = ("%08X" if self.rng.random() < 0.7 else "%08x") % (
            self.hash_of[name])
        return {"member": "UNK_MEMBER_0x", "bare": "0x", "value": "0x"}[
            form] + digits

    def write_lists(self, folder):
        for file, names in (("MemberNames.txt", self.members),
                            ("ArchiveItems.txt", self.items)):
            with open(os.path.join(folder, file), "w") as out:
                out.write("".join(n + "\n" for n in names))


def random_document(rng, names):
    """A document as (original, hashed) text, built element by element."""
    original, hashed = [], []
    line_end = "\r\n" if rng.random() < 0.5 else "\n"

    def emit(plain, hidden, newline):
        original.append(plain)
        hashed.append(hidden)
        if newline:
            original.append(line_end)
            hashed.append(line_end)

    emit('<?xml version="1.0" encoding="UTF-8"?>', '<?xml version="1.0" '
         'encoding="UTF-8"?>', True)

    def element(depth):
        name = names.pick()
        tag = names.hashed(name, "bare" if rng.random() < 0.25 else "member")
        # The repaired file holds the same name in both tags.
        digits = tag[tag.index("0x") + 2:]
        close_tag = tag if rng.random() < 0.8 else "UNK_MEMBER_0x" + digits
        indent = " " * rng.randint(0, 2 * depth) if rng.random() < 0.7 else ""
        attributes_plain, attributes_hashed = "", ""
        for i in range(rng.choice([0, 0, 1, 2, 8])):
            if rng.random() < 0.6:
                value = names.pick()
                plain = ' a%d="%s"' % (i, value)
                hidden = ' a%d="%s"' % (i, names.hashed(value, "member"))
            else:
                plain = hidden = ' n%d="%d"' % (i, rng.randint(0, 9999))
            attributes_plain += plain
            attributes_hashed += hidden
        emit(indent + "<" + name + attributes_plain,
             indent + "<" + tag + attributes_hashed, False)
        kind = rng.random()
        if kind < 0.2 or depth > 4:
            emit("/>", "/>", rng.random() < 0.5)
        elif kind < 0.6:
            value = names.pick()
            emit(">" + value, ">" + names.hashed(value, "value"), False)
            emit("</" + name + ">", "</" + close_tag + ">",
                 rng.random() < 0.6)
        else:
            emit(">", ">", rng.random() < 0.7)
            for _ in range(rng.randint(1, 4)):
                element(depth + 1)
            emit("</" + name + ">", "</" + close_tag + ">",
                 rng.random() < 0.7)

    element(0)
    return "".join(original), "".join(hashed)


def tame_document(rng, names):
    """Lines the default run reads whole and without limits: both modes
    must agree on them."""
    line_end = "\r\n" if rng.random() < 0.5 else "\n"
    lines = []
    for _ in range(rng.randint(1, 40)):
        short = [n for n in names.members + names.items if len(n) < 12]
        name, value = rng.choice(short), rng.choice(short)
        kind = rng.randrange(5)
        if kind == 0:
            line = "<%s>%s</%s>" % (names.hashed(name, "member"),
                                    names.hashed(value, "value"),
                                    names.hashed(name, "member"))
        elif kind == 1:
            line = '  <%s k="%s"/>' % (names.hashed(name, "member"),
                                       names.hashed(value, "member"))
        elif kind == 2:
            line = "<%s>%s</%s>" % (names.hashed(name, "bare"),
                                    names.hashed(value, "value"),
                                    names.hashed(name, "member"))
        elif kind == 3:
            line = "</%s>" % names.hashed(name, "bare")
        else:
            line = '<a b="UNK_MEMBER_0x%08X">0x%08X</a>' % (
                rng.getrandbits(32), rng.getrandbits(32))
        lines.append(line + line_end)
    return "".join(lines)


def run(tool, folder, files, complete):
    args = [tool] + (["--complete"] if complete else []) + files
    done = subprocess.run(args, cwd=folder, input=b"\n",
                          capture_output=True, timeout=120)
    if done.returncode != 0:
        raise AssertionError("the tool exited with %d" % done.returncode)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def main():
    tool = os.path.abspath(sys.argv[1])
    documents = int(sys.argv[2]) if len(sys.argv) > 2 else 60
    rng = random.Random(20261206)
    names = Names(rng)
    scratch = tempfile.mkdtemp()
    failures = 0
    try:
        names.write_lists(scratch)
        for i in range(documents):
            original, hashed = random_document(rng, names)
            path = os.path.join(scratch, "doc%d.xml" % i)
            with open(path, "wb") as f:
                f.write(hashed.encode())
            run(tool, scratch, [os.path.basename(path)], complete=True)
            copy = read(path[:-4] + "_dehashed.xml")
            problems = []
            for label, text in (("repaired file", read(path)),
                                ("dehashed copy", copy)):
                try:
                    xml.dom.minidom.parseString(text)
                except Exception as error:  # the parser's own error types
                    problems.append("%s is not well-formed: %s" %
                                    (label, error))
            if copy != original.replace("\r\n", "\n").encode():
                problems.append("the dehashed copy is not the original")
            if problems:
                failures += 1
                print("FAILED document %d:\n  %s\n--- hashed:\n%s" %
                      (i, "\n  ".join(problems), hashed))
        for i in range(documents):
            text = tame_document(rng, names).encode()
            outputs = []
            for complete in (False, True):
                path = os.path.join(scratch, "tame%d%d.xml" % (i, complete))
                with open(path, "wb") as f:
                    f.write(text)
                run(tool, scratch, [os.path.basename(path)], complete)
                outputs.append((read(path), read(path[:-4] + "_dehashed.xml")))
            if outputs[0] != outputs[1]:
                failures += 1
                print("FAILED tame document %d: the modes differ\n%s" %
                      (i, text.decode()))
    finally:
        shutil.rmtree(scratch)
    print("%d documents of each kind, %d failed" % (documents, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
