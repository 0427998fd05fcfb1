#!/usr/bin/env python3
# Fails if the tool's files include each other in a circle, a header and
# its source counted as one file; prints each circle found.
#
#   scripts/include_cycles.py        (from the project root)
import pathlib
import re
import sys

edges = {}
for path in pathlib.Path(".").glob("[acnp]*/*.[ch]*"):
    if path.parts[0] not in ("app", "common", "names", "passes") or \
            path.stem.endswith("_test"):
        continue
    node = str(path.with_suffix(""))
    for target in re.findall(r'#include "([^"]+)\.h"', path.read_text()):
        if target != node:
            edges.setdefault(node, set()).add(target)

circles, state = [], {}


def visit(node, trail):
    state[node] = "open"
    for target in sorted(edges.get(node, ())):
        if state.get(target) == "open":
            circles.append(trail[trail.index(target):] + [target])
        elif target not in state:
            visit(target, trail + [target])
    state[node] = "done"


for node in sorted(edges):
    if node not in state:
        visit(node, [node])
for circle in circles:
    print("circle of includes:", " -> ".join(circle))
sys.exit(1 if circles else 0)
