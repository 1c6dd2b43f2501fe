#!/usr/bin/env python3
"""Fails when the modules of a source tree include each other in a cycle.

A module is a header and its source (app/session.h with app/session.cpp); module A depends on
module B when a file of A has #include "B.h". Usage: include_cycles.py SRC_DIR
"""
import os
import re
import sys

INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def module_graph(root):
    graph = {}
    for folder, _, files in os.walk(root):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            module = os.path.splitext(os.path.relpath(path, root))[0]
            edges = graph.setdefault(module, set())
            with open(path, encoding="utf-8", errors="replace") as f:
                for line in f:
                    m = INCLUDE.match(line)
                    if m:
                        target = os.path.splitext(m.group(1))[0]
                        if target != module:
                            edges.add(target)
    return graph


def find_cycle(graph):
    """A list of modules that ends where it starts, or None."""
    state = {}  # 1: on the path, 2: done
    path = []

    def visit(module):
        state[module] = 1
        path.append(module)
        for dep in sorted(graph.get(module, ())):
            if state.get(dep) == 1:
                return path[path.index(dep):] + [dep]
            if dep not in state:
                found = visit(dep)
                if found:
                    return found
        path.pop()
        state[module] = 2
        return None

    for module in sorted(graph):
        if module not in state:
            found = visit(module)
            if found:
                return found
    return None


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    sys.setrecursionlimit(100000)
    cycle = find_cycle(module_graph(sys.argv[1]))
    if cycle:
        print("include cycle: " + " -> ".join(cycle), file=sys.stderr)
        return 1
    print("no include cycles")
    return 0


if __name__ == "__main__":
    sys.exit(main())
