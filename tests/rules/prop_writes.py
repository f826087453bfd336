#!/usr/bin/env python3
"""In skin/, window properties are written through the property layer, which marks what a write changes of a
layered face (SetSkinProp, skin/compositor/marks.cpp). Run as `prop_writes.py ROOT`: prints every other
SetProp/RemoveProp call, raw or through sys::, as file:line and fails (exit 1)."""

import re
import sys

from cpp_source import blank, line_of, read, sources

# Writes that need no marking, as (call, key argument, file or "*" for anywhere in skin/): reason.
ALLOWED = {
    ("SetProp", "key::kSurface", "*"): "the kept face's own record: the face is what marking marks",
    ("RemoveProp", "key::kSurface", "*"): "the kept face goes with its record",
    ("RemoveProp", "key::kTime", "*"): "the blink timer's record, removed as the timer stops; it is no look",
    ("RemoveProp", "key::kWndProc", "*"): "the saved procedure, removed as it is put back; it is no look",
    ("SetProp", "key", "skin/compositor/marks.cpp"): "SetSkinProp itself: the write it marks",
    ("RemoveProp", "name", "skin/controls/window_state.cpp"):
        "the window is going: its engine keys are removed after MarkChild marked the parent's face",
}
FOLDERS = ("skin",)

WRITE = re.compile(r"\b(SetProp|RemoveProp)[AW]?\s*\(")


def arguments(text, start):
    """The top-level arguments of the call whose '(' is at `start`, stripped."""
    depth, args, current = 0, [], start + 1
    for i in range(start, len(text)):
        c = text[i]
        if c in "([{":
            depth += 1
        elif c in ")]}":
            depth -= 1
            if depth == 0:
                args.append(text[current:i].strip())
                return args
        elif c == "," and depth == 1:
            args.append(text[current:i].strip())
            current = i + 1
    return args


def main(root):
    found = []
    for rel, full in sources(root, FOLDERS):
        text = blank(read(full))
        for m in WRITE.finditer(text):
            if text[max(0, m.start() - 8):m.start()].rstrip().endswith((".", "->")):
                continue  # a member of an object
            args = arguments(text, m.end() - 1)
            key = args[1] if len(args) > 1 else ""
            if (m.group(1), key, "*") in ALLOWED or (m.group(1), key, rel) in ALLOWED:
                continue
            call = m.group(0).rstrip("( \t\n")
            found.append(f"{rel}:{line_of(text, m.start())}: {call}(..., {key or 'a literal'}) bypasses the marking")
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} property write(s) outside the property layer; use SetSkinProp "
              "(the layer and the allowed exceptions are named at the top of tests/rules/prop_writes.py)")
    return 1 if found else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: prop_writes.py SOURCE_ROOT")
    sys.exit(main(sys.argv[1]))
