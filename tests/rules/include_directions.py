#!/usr/bin/env python3
"""Includes run downwards only: between the top-level folders, and between the layers of skin/ (the floor, the
compositor that keeps each layered window's face, the control skins). Run as `include_directions.py ROOT`:
prints every include of a room that the including room may not use, as file:line, and fails (exit 1)."""

import re
import sys

from cpp_source import line_of, read, sources

# Each room, lowest first, with the rooms it may include besides itself. A room is a top-level folder, or a
# layer folder of skin/.
MAY_INCLUDE = {
    "base": set(),
    "scheduler": {"base"},
    "gfx": {"base"},
    "skin/floor": {"gfx", "base"},
    "skin/compositor": {"skin/floor", "gfx", "base"},
    "skin/controls": {"skin/compositor", "skin/floor", "gfx", "base"},
    "app": {"scheduler", "skin/controls", "skin/compositor", "skin/floor", "gfx", "base", "assets"},
}
LAYERED = ("skin",)  # folders whose rooms are their subfolders

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/(?:([a-z_]+)/)?', re.M)


def room_of(path):
    parts = path.split("/")
    if parts[0] in LAYERED:
        return "/".join(parts[:2]) if len(parts) > 2 else parts[0]
    return parts[0]


def main(root):
    found = []
    folders = sorted({room.split("/")[0] for room in MAY_INCLUDE})
    for rel, full in sources(root, folders):
        room = room_of(rel)
        if room not in MAY_INCLUDE:
            found.append(f"{rel}:1: lies in no layer of {room}/")
            continue
        text = read(full)
        for m in INCLUDE.finditer(text):
            target = m.group(1) + ("/" + m.group(2) if m.group(1) in LAYERED and m.group(2) else "")
            if target != room and target not in MAY_INCLUDE[room]:
                found.append(f"{rel}:{line_of(text, m.start(1))}: {room} includes {target}")
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: include_directions.py ROOT")
    sys.exit(main(sys.argv[1]))
