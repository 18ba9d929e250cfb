#!/usr/bin/env python3
"""Reports circles of includes among the units of each source folder.

A unit is a file pair X.h / X.cpp (or a lone header or source). Unit A depends on unit B
when A.h or A.cpp includes B.h; only includes between files of the same folder count.
Every group of units that depend on each other in a circle is printed with one circle
through it. Exits 1 when any folder has one, 0 otherwise; the circles of a folder given with
--known are printed too but do not count, so that a folder still waiting for its repair does
not hide a new circle elsewhere.

Usage: check-include-cycles.py [--known FOLDER]... [SRC_DIR]
       (SRC_DIR: default the src folder beside this one)
"""

import argparse
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".cxx")


def unit_of(file_name):
    return os.path.splitext(file_name)[0]


def read_text(path):
    with open(path, encoding="utf-8", errors="replace") as f:
        return f.read()


def folder_graph(folder):
    """Edges unit -> set of units of the same folder whose header it includes."""
    files = [n for n in os.listdir(folder) if n.endswith(SOURCE_SUFFIXES)]
    headers = {n for n in files if n.endswith((".h", ".hpp"))}
    graph = {unit_of(n): set() for n in files}
    folder_name = os.path.basename(os.path.normpath(folder))
    for name in files:
        unit = unit_of(name)
        for target in INCLUDE.findall(read_text(os.path.join(folder, name))):
            # "folder/X.h" and "X.h" both name a header of this folder.
            parts = target.split("/")
            if len(parts) == 2 and parts[0] == folder_name:
                target = parts[1]
            elif len(parts) != 1:
                continue
            if target in headers and unit_of(target) != unit:
                graph[unit].add(unit_of(target))
    return graph


def strongly_connected(graph):
    """Tarjan's algorithm, iterative so that deep graphs do not hit the recursion limit."""
    index = {}
    low = {}
    on_stack = set()
    stack = []
    components = []
    counter = 0
    for root in sorted(graph):
        if root in index:
            continue
        work = [(root, iter(sorted(graph[root])))]
        index[root] = low[root] = counter
        counter += 1
        stack.append(root)
        on_stack.add(root)
        while work:
            node, successors = work[-1]
            advanced = False
            for succ in successors:
                if succ not in index:
                    index[succ] = low[succ] = counter
                    counter += 1
                    stack.append(succ)
                    on_stack.add(succ)
                    work.append((succ, iter(sorted(graph[succ]))))
                    advanced = True
                    break
                if succ in on_stack:
                    low[node] = min(low[node], index[succ])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    components.append(sorted(component))
    return components


def one_cycle(graph, component):
    """A shortest circle through the component's first unit, staying inside the component."""
    members = set(component)
    start = component[0]
    previous = {start: None}
    frontier = [start]
    while frontier:
        following = []
        for node in frontier:
            for succ in sorted(graph[node]):
                if succ not in members:
                    continue
                if succ == start:
                    path = [node]
                    while previous[path[-1]] is not None:
                        path.append(previous[path[-1]])
                    return list(reversed(path)) + [start]
                if succ not in previous:
                    previous[succ] = node
                    following.append(succ)
        frontier = following
    return component + [start]


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Circles of includes among the units of each "
                                     "source folder.")
    parser.add_argument("--known", action="append", default=[], metavar="FOLDER",
                        help="a folder whose circles are reported but do not fail the check")
    parser.add_argument("src", nargs="?", default=os.path.join(here, os.pardir, "src"))
    args = parser.parse_args(argv[1:])
    src = os.path.normpath(args.src)
    if not os.path.isdir(src):
        print(f"check-include-cycles: no folder {src}", file=sys.stderr)
        return 2
    found = 0
    known = 0
    for entry in sorted(os.listdir(src)):
        folder = os.path.join(src, entry)
        if not os.path.isdir(folder):
            continue
        graph = folder_graph(folder)
        for component in strongly_connected(graph):
            if entry in args.known:
                known += 1
                label = "(known) "
            else:
                found += 1
                label = ""
            print(f"{label}{entry}: {len(component)} units in a circle: {', '.join(component)}")
            print(f"    for example {' -> '.join(one_cycle(graph, component))}")
    if known:
        print(f"{known} known circle(s) of includes")
    if found:
        print(f"{found} circle(s) of includes")
        return 1
    print("no new circle of includes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
