#!/usr/bin/env python3
# The name hunt on seeded random folders of hashed XML: each file's records
# are named by member names that the word list holds, and by names that it
# lacks, hidden in one of the ways the hunt knows: the name stands in plain
# text in another file (as archive item or member), it is a numbered sibling
# of a name in its file, or it joins a name of its file and the first part
# of another; or, from the word list's own vocabulary, it is a part of a
# listed name in some case, or the first part of one joined to the last of
# another. Every hidden name must be found under its own list, and every
# line of the report must name a name that hashes to its hash. On a smaller
# budget the hunt finds a part of the same names, and its estimate stays
# within the budget.
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


def world(rng, folder, crowd=0):
    """Writes a world's list, with `crowd` more names in it, and files;
    returns its hidden names by hash."""
    known, hidden, files = [], {}, []
    # Names in the list alone, whose parts make the vocabulary's finds.
    listed = [word(rng) + word(rng).capitalize() for _ in range(4)]
    known += listed + [word(rng) + "_" + word(rng)]
    for _ in range(rng.randint(2, 6)):
        names = [word(rng) + word(rng).capitalize() for _ in range(5)]
        stem = word(rng) + "_"
        names += [stem + "01", stem + "02"]
        known += names
        way = rng.choice(["text", "sibling", "join", "part", "pair"])
        archive = way == "text" and rng.random() < 0.5
        part = re.findall("[A-Z]?[a-z]+", rng.choice(listed))[0].lower()
        first, last = (re.findall("[A-Z]?[a-z]+", n) for n in rng.sample(listed, 2))
        name = {"sibling": stem + "%02d" % rng.randint(3, 99),
                "join": names[0] + re.match("[a-z]+", names[1])[0].title(),
                "text": "Asset_" + word(rng).title() + "_" + word(rng),
                "part": rng.choice([part, part.title(), part.upper()]),
                "pair": rng.choice(["%s%s", "%s_%s"]) % (
                    first[0].lower(), last[-1].lower())}[way]
        if way == "pair" and "_" not in name:
            name = first[0].lower() + last[-1].title()
        if name in known:  # a pair may make a listed name
            way, name = "sibling", stem + "99"
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
    # The crowd comes last, and so do hashes that no name is found for.
    crowd = [word(rng) + word(rng).title() for _ in range(crowd)]
    known += [n for n in crowd if (n, False) not in hidden.values()]
    files[0] += ["<x>0x%08X</x>" % rng.getrandbits(32) for _ in crowd[::10]]
    pathlib.Path(folder, "MemberNames.txt").write_text("\n".join(known))
    os.mkdir(os.path.join(folder, "data"))
    for i, lines in enumerate(files):
        pathlib.Path(folder, "data", "f%02d.xml" % i).write_text(
            "<r>\n" + "\n".join(lines) + "\n</r>\n")
    return hidden


def hunt(tool, folder, chance):
    """Hunts with the budget `chance`; returns the finds and the estimate."""
    status, console = run([tool, "--complete", "--hunt", "found.txt",
                           "--chance", chance, "data"], folder)
    assert status == 0
    found = {}
    for line in pathlib.Path(folder, "found.txt").read_text().splitlines():
        digits, name, kind = line.split("\t")[:3]
        found[int(digits, 16)] = (name, kind == "archive")
        assert name_hash(name, lower=kind == "archive") == int(digits, 16), line
    # The estimate is printed to two places: rounded, it may pass the budget
    # by at most half of the last.
    return found, float(re.search(r"expected: ([\d.]+)", console)[1]) - 0.005


def main():
    tool = start(sys.argv)
    rng = random.Random(20261207)
    failures = 0
    worlds = int(sys.argv[2]) if len(sys.argv) > 2 else 40
    for w in range(worlds):
        with scratch() as folder:
            # A list of thousands of names makes pairs enough to spend a
            # budget that the estimate's two places show.
            crowded = w % 4 == 0
            hidden = world(rng, folder, 2000 if crowded else 0)
            budget = rng.uniform(0.005, 0.1) if crowded else 10 ** -rng.uniform(1, 7)
            (found, _), (fewer, estimate) = (
                hunt(tool, folder, chance) for chance in ("0.25", str(budget)))
            for h, name in hidden.items():
                if found.get(h) != name:
                    failures += 1
                    print("FAILED: %s not found:\n%s" % (name, found))
            if estimate > budget or any(found.get(h) != f
                                        for h, f in fewer.items()):
                failures += 1
                print("FAILED: on a budget of %g, %g expected, and %s" % (
                    budget, estimate, fewer))
    print("%d worlds, %d failures" % (worlds, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
