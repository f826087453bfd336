"""What the rule checkers share: the C and C++ files under some folders, read with comments and literals
blanked out (line breaks kept, so offsets still give the right line)."""

import os
import re
import sys

SOURCE_ENDINGS = (".c", ".cpp", ".h")

_TOKENS = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)


def blank(text):
    """The text with every comment and string or character literal replaced by spaces."""
    return _TOKENS.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


def sources(root, folders, skip=()):
    """(relative path with forward slashes, full path) of every source file under `folders`, sorted; folders
    whose relative path starts with one in `skip` are left out. Ends the run (exit 2) when there is none: a
    wrong root must not pass."""
    found = []
    for folder in folders:
        for dirpath, dirnames, filenames in os.walk(os.path.join(root, folder)):
            dirnames.sort()
            for name in filenames:
                full = os.path.join(dirpath, name)
                rel = os.path.relpath(full, root).replace(os.sep, "/")
                if name.endswith(SOURCE_ENDINGS) and not rel.startswith(tuple(skip)):
                    found.append((rel, full))
    if not found:
        print(f"no source files under {root} in {', '.join(folders)}", file=sys.stderr)
        sys.exit(2)
    return sorted(found)


def read(full):
    with open(full, encoding="utf-8", errors="replace") as f:
        return f.read()


def line_of(text, offset):
    return text.count("\n", 0, offset) + 1
