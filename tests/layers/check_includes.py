#!/usr/bin/env python3
"""Holds every #include "folder/..." under src/ and tools/ of ROOT to the
layer table in ROOT/src/layers.txt; prints each include against it as
FILE:LINE and exits 1 when there is one."""

import os
import re
import sys

INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def read_table(path):
    allowed, above = {}, []
    for raw in open(path, encoding="utf-8"):
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        name, _, listed = line.partition(":")
        name = name.strip()
        if listed:
            allowed[name] = set(listed.split())
        else:
            allowed[name] = set(above)
            above.append(name)
    return allowed


def folder_of(relative):
    """The table's name for a file's folder, or for an include's target."""
    parts = relative.split("/")
    if parts[0] == "tools":
        return "tools/" + parts[1] if len(parts) > 2 else None
    if parts[0] == "src":
        parts = parts[1:]
    if len(parts) < 2:
        return None
    if parts[0] == "port" and len(parts) > 2 and parts[1] == "gtk":
        return "port/gtk"
    return parts[0]


def check(root):
    allowed = read_table(os.path.join(root, "src", "layers.txt"))
    faults = []
    for top in ("src", "tools"):
        for folder, _, files in os.walk(os.path.join(root, top)):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                path = os.path.join(folder, name)
                relative = os.path.relpath(path, root).replace(os.sep, "/")
                owner = folder_of(relative)
                if owner is None:
                    continue
                for number, text in enumerate(open(path, encoding="utf-8", errors="replace"), 1):
                    match = INCLUDE.match(text)
                    if not match or "/" not in match.group(1):
                        continue
                    target = folder_of(match.group(1))
                    if target is None or target == owner:
                        continue
                    may = allowed.get(owner)
                    if may is None:
                        faults.append(f"{relative}:{number}: folder {owner} is not in src/layers.txt")
                    elif "*" not in may and target not in may:
                        faults.append(f"{relative}:{number}: {owner} may not include {match.group(1)}")
    return faults


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else "."
    faults = check(root)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
