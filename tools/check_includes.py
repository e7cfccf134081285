#!/usr/bin/env python3
"""Checks the includes of src/: no unit (a header with its source file) reaches itself through
the units it includes, and no folder includes a folder above it.

Usage: tools/check_includes.py [src-dir]. Prints each fault and exits 1 if there is one."""

import os
import re
import sys

# The folders from the bottom up. A folder may include its own files and those of folders with
# a lower rank; folders of one rank stay out of each other.
RANKS = {
    "base": 0,
    "text": 1,
    "grid": 2, "solver": 2,
    "datafile": 3, "report": 3,
    "model": 4,
    "analysis": 5, "engine": 5,
    "mip": 6,
    "session": 7,
    "ui": 8, "cli": 8,
    "app": 9,
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def units(src):
    """unit ("folder/Name") -> the units its header and source file include."""
    graph = {}
    for folder, _, files in os.walk(src):
        for name in files:
            stem, ext = os.path.splitext(name)
            if ext not in (".h", ".cpp"):
                continue
            path = os.path.join(folder, name)
            unit = os.path.relpath(os.path.join(folder, stem), src).replace(os.sep, "/")
            with open(path, encoding="utf-8", errors="replace") as f:
                included = INCLUDE.findall(f.read())
            edges = graph.setdefault(unit, set())
            for inc in included:
                other = os.path.splitext(inc)[0]
                if other != unit and os.path.exists(os.path.join(src, inc)):
                    edges.add(other)
    return graph


def layer_faults(graph):
    faults = []
    for unit, edges in sorted(graph.items()):
        mine = unit.split("/")[0]
        for other in sorted(edges):
            theirs = other.split("/")[0]
            if mine == theirs:
                continue
            if mine not in RANKS or theirs not in RANKS:
                faults.append(f"{unit} -> {other}: a folder without a layer (tools/check_includes.py)")
            elif RANKS[theirs] >= RANKS[mine]:
                faults.append(f"{unit} -> {other}: {mine} may not include {theirs}")
    return faults


def loops(graph):
    """Each strongly connected group of more than one unit (Tarjan's algorithm)."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in graph.get(v, ()):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    sys.setrecursionlimit(10000)
    for v in sorted(graph):
        if v not in index:
            visit(v)
    return groups


def main():
    src = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "src")
    graph = units(src)
    faults = layer_faults(graph)
    faults += ["units that include each other: " + " <-> ".join(g) for g in loops(graph)]
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
