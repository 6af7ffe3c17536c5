#!/usr/bin/env python3
# Finds include cycles between file pairs (x.h with x.cpp) under the given folders; exits 1 when
# any exists, printing each cycle as a chain of pairs.
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def pairs(root, folders):
    graph = {}
    for folder in folders:
        for name in sorted(os.listdir(os.path.join(root, folder))):
            stem, ext = os.path.splitext(name)
            if ext not in (".h", ".cpp"):
                continue
            unit = folder + "/" + stem
            with open(os.path.join(root, folder, name), encoding="utf-8") as f:
                # A name without a folder is one beside the including file.
                targets = {os.path.splitext(t if "/" in t else folder + "/" + t)[0] for t in INCLUDE.findall(f.read())}
            graph.setdefault(unit, set()).update(t for t in targets if t != unit)
    return graph


def cycles(graph):
    found, state, stack = [], {}, []

    def visit(unit):
        state[unit] = 1
        stack.append(unit)
        for t in sorted(graph.get(unit, ())):
            if t not in graph:
                continue
            if state.get(t) == 1:
                found.append(stack[stack.index(t):] + [t])
            elif t not in state:
                visit(t)
        stack.pop()
        state[unit] = 2

    for unit in sorted(graph):
        if unit not in state:
            visit(unit)
    return found


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    folders = sys.argv[1:] or ["engine", "patch", "platform", "remote", "toolkit", "panels", "app"]
    found = cycles(pairs(root, folders))
    for c in found:
        print(" -> ".join(c))
    if not found:
        print("no include cycles in " + ", ".join(folders))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
