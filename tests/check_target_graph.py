#!/usr/bin/env python3
"""Fails when the CMake targets of a project link in a cycle.

    check_target_graph.py [--expect-cycle] CMAKE SOURCE_DIR WORK_DIR [-DNAME=VALUE ...]

Configures SOURCE_DIR into WORK_DIR with `cmake --graphviz`, reads the target
graph CMake writes and looks for a cycle among the link edges. Prints the
targets of the first cycle found (exit 1), or the number of targets and links
(exit 0). With --expect-cycle the outcome is reversed, so the check itself can
be shown to catch a cycle.
"""

import re
import subprocess
import sys
from pathlib import Path

NODE = re.compile(r'^\s*"(node\d+)"\s*\[\s*label\s*=\s*"([^"]*)"')
EDGE = re.compile(r'^\s*"(node\d+)"\s*->\s*"(node\d+)"')


def read_graph(dot_text):
    """Target names and their link edges, from CMake's graphviz output."""
    names = {}
    links = {}
    for line in dot_text.splitlines():
        node = NODE.match(line)
        if node:
            names[node.group(1)] = node.group(2)
            continue
        edge = EDGE.match(line)
        # gtest_discover_tests's post-build step shows as an edge from a test
        # executable to itself; no link runs that way.
        if edge and edge.group(1) != edge.group(2):
            links.setdefault(edge.group(1), set()).add(edge.group(2))
    return {names[n]: sorted(names[m] for m in links.get(n, ())) for n in names}


def find_cycle(graph):
    """One cycle as a list of targets (first == last), or None."""
    state = {}  # absent: unseen, 1: on the current path, 2: done
    for start in sorted(graph):
        if start in state:
            continue
        path = [start]
        state[start] = 1
        pending = [iter(graph[start])]
        while pending:
            following = next(pending[-1], None)
            if following is None:
                state[path.pop()] = 2
                pending.pop()
            elif state.get(following) == 1:
                return path[path.index(following):] + [following]
            elif following not in state:
                state[following] = 1
                path.append(following)
                pending.append(iter(graph.get(following, ())))
    return None


def main(argv):
    expect_cycle = "--expect-cycle" in argv
    args = [a for a in argv if a != "--expect-cycle"]
    if len(args) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    cmake, source, work = args[0], args[1], Path(args[2])
    work.mkdir(parents=True, exist_ok=True)
    dot = work / "targets.dot"
    configure = subprocess.run(
        [cmake, "-S", source, "-B", str(work), "--graphviz=" + str(dot)] + args[3:],
        stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    if configure.returncode != 0 or not dot.is_file():
        print(configure.stdout, file=sys.stderr)
        print("configuring %s failed" % source, file=sys.stderr)
        return 2

    graph = read_graph(dot.read_text())
    cycle = find_cycle(graph)
    if cycle:
        print("cycle: " + " -> ".join(cycle))
    else:
        links = sum(len(v) for v in graph.values())
        print("%d targets, %d links, no cycle" % (len(graph), links))
    return 0 if bool(cycle) == expect_cycle else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
