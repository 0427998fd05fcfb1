#!/usr/bin/env python3
# The name hunt on seeded random folders of hashed XML: each file's records
# are named by member names that the word list holds, and by names that it
# lacks, hidden in one of the ways the hunt knows: the name stands in plain
# text in another file (as archive item or member), it is a numbered sibling
# of a name in its file, or it joins a name of its file and the first part
# of another. Every hidden name must be found under its own list, and every
# line of the report must name a name that hashes to its hash.
#
#   tests/hunt_property.py TOOL [WORLDS]
import os
import pathlib
import random
import re
import sys

from tool_run import name_hash, run, scratch, start

SYLLABLES = "ba ce di fo gu ha je ki lo mu na pe ra se ti vo wa yo za".split()


def word(rng):
    return "".join(rng.choice(SYLLABLES) for _ in range(rng.randint(1, 3)))


def world(rng, folder):
    """Writes a world's list and files; returns its hidden names by hash."""
    known, hidden, files = [], {}, []
    for _ in range(rng.randint(2, 6)):
        names = [word(rng) + word(rng).capitalize() for _ in range(5)]
        stem = word(rng) + "_"
        names += [stem + "01", stem + "02"]
        known += names
        way = rng.choice(["text", "sibling", "join"])
        archive = way == "text" and rng.random() < 0.5
        name = {"sibling": stem + "%02d" % rng.randint(3, 99),
                "join": names[0] + re.match("[a-z]+", names[1])[0].title(),
                "text": "Asset_" + word(rng).title() + "_" + word(rng)}[way]
        hidden[name_hash(name, lower=archive)] = (name, archive)
        tags = ["<UNK_MEMBER_0x%08X>1</UNK_MEMBER_0x%08X>" % (h, h)
                for h in map(name_hash, names + [name] * (not archive))]
        if archive:
            tags.append("<v>0x%08X</v>" % name_hash(name, lower=True))
        if way == "text":  # in plain text in another file
            files.append(['<!-- %s -->' % name, '<def n="%s"/>' % name][
                rng.randint(0, 1):][:1])
        rng.shuffle(tags)
        files.append(tags)
    pathlib.Path(folder, "MemberNames.txt").write_text("\n".join(known))
    os.mkdir(os.path.join(folder, "data"))
    for i, lines in enumerate(files):
        pathlib.Path(folder, "data", "f%02d.xml" % i).write_text(
            "<r>\n" + "\n".join(lines) + "\n</r>\n")
    return hidden


def main():
    tool = start(sys.argv)
    rng = random.Random(20261207)
    failures = 0
    worlds = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    for _ in range(worlds):
        with scratch() as folder:
            hidden = world(rng, folder)
            status, _ = run([tool, "--complete", "--hunt", "found.txt", "data"],
                            folder)
            report = pathlib.Path(folder, "found.txt").read_text()
            found = {}
            for line in report.splitlines():
                digits, name, kind = line.split("\t")[:3]
                found[int(digits, 16)] = (name, kind == "archive")
                if name_hash(name, lower=kind == "archive") != int(digits, 16):
                    failures += 1
                    print("FAILED: a wrong line:", line)
            for h, name in hidden.items():
                if found.get(h) != name:
                    failures += 1
                    print("FAILED: %s not found:\n%s" % (name, report))
            assert status == 0
    print("%d worlds, %d failures" % (worlds, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
