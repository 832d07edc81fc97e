#!/usr/bin/env python3
"""Checks that the product's folders depend on each other without a cycle.

A folder depends on another when one of its sources includes a header of
the other ("store/SqlQuery.h" from intake/). Each folder builds one library
or program, so a cycle among folders is a cycle among libraries: no one
could then say which layer may call which. Test, benchmark and tool folders
are not product code and are left out. Prints every cycle with one include
of each of its steps and exits 1; prints the order of the layers otherwise.
"""
import os
import re
import sys

SKIPPED = {"build", "tests", "bench", "scripts", "cmake", "docs", "res", "dist", ".cache", ".git"}
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)/[^/"]+"')


def product_folders(root):
    folders = set()
    for path, dirs, files in os.walk(root):
        relative = os.path.relpath(path, root).replace(os.sep, "/")
        if relative.split("/")[0] in SKIPPED:
            dirs[:] = []
            continue
        if any(name.endswith((".h", ".cpp")) for name in files) and relative != ".":
            folders.add(relative)
    return folders


def dependencies(root, folders):
    edges = {folder: {} for folder in folders}
    for folder in sorted(folders):
        for name in sorted(os.listdir(os.path.join(root, folder))):
            if not name.endswith((".h", ".cpp")):
                continue
            with open(os.path.join(root, folder, name), encoding="utf-8", errors="replace") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if match and match.group(1) in folders and match.group(1) != folder:
                        edges[folder].setdefault(match.group(1), f"{folder}/{name}:{number}")
    return edges


def cycles(edges):
    """The strongly connected components of more than one folder (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for target in edges[node]:
            if target not in index:
                visit(target)
                low[node] = min(low[node], low[target])
            elif target in on_stack:
                low[node] = min(low[node], index[target])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    for node in sorted(edges):
        if node not in index:
            visit(node)
    return found


def layers(edges):
    """Folders by depth: a folder comes after every folder it uses."""
    depth = {}

    def of(node):
        if node not in depth:
            depth[node] = 1 + max((of(target) for target in edges[node]), default=-1)
        return depth[node]

    for node in edges:
        of(node)
    return [sorted(f for f in depth if depth[f] == level) for level in range(max(depth.values()) + 1)]


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    edges = dependencies(root, product_folders(root))
    found = cycles(edges)
    for component in found:
        print("layers: these folders use each other in a cycle: " + ", ".join(component))
        for folder in component:
            for target, where in sorted(edges[folder].items()):
                if target in component:
                    print(f"  {folder} -> {target}  ({where})")
    if found:
        return 1
    print("layers: " + " < ".join("{" + ", ".join(level) + "}" for level in layers(edges)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
