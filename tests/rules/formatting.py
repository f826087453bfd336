#!/usr/bin/env python3
"""One formatting: every C and C++ file of the program, its tests and benchmarks as the repository's
.clang-format writes it. Run as `formatting.py ROOT [STYLE_FILE]` (STYLE_FILE defaults to ROOT/.clang-format):
prints file:line of every place clang-format would change and fails (exit 1); exit 77 (skipped) when
clang-format is not installed."""

import os
import re
import shutil
import subprocess
import sys

from cpp_source import sources

FOLDERS = ("app", "assets", "base", "bench", "gfx", "scheduler", "skin", "tests")
# Deliberately unformatted: the planted violations the rule tests run the checkers on.
SKIP = ("tests/rules/violations/",)
SKIPPED = 77

PLACE = re.compile(r"^(.*?):(\d+):\d+: (?:warning|error): code should be clang-formatted")


def main(root, style):
    tool = shutil.which("clang-format")
    if not tool:
        print("clang-format is not installed: formatting not checked (scripts/lib.sh's set-up installs it)")
        return SKIPPED
    files = [full for _, full in sources(root, FOLDERS, SKIP)]
    result = subprocess.run([tool, f"--style=file:{style}", "--dry-run", "--Werror", *files],
                            capture_output=True, text=True)
    found = []
    for line in result.stderr.splitlines():
        m = PLACE.match(line)
        place = m and f"{os.path.relpath(m.group(1), root)}:{m.group(2)}: not formatted"
        if place and place not in found:
            found.append(place)
    if result.returncode != 0 and not found:
        print(result.stderr.strip() or f"clang-format failed ({result.returncode})")
        return 1
    for line in found:
        print(line)
    if found:
        names = sorted({line.split(":")[0] for line in found})
        print(f"{len(names)} file(s) not formatted; clang-format -i " + " ".join(names))
    return 1 if found else 0


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: formatting.py SOURCE_ROOT [STYLE_FILE]")
    root = sys.argv[1]
    sys.exit(main(root, sys.argv[2] if len(sys.argv) == 3 else os.path.join(root, ".clang-format")))
