#!/usr/bin/env python3
"""Runs a rule checker on a planted violation: `expect_violation.py PLACE... -- CHECKER...` passes only when the
checker fails (exit 1) and the file:line places it names are exactly PLACE... (so a missed violation and a
false alarm both fail). A checker that skips (exit 77) skips this test too."""

import re
import subprocess
import sys

SKIPPED = 77

if "--" not in sys.argv:
    sys.exit("usage: expect_violation.py PLACE... -- CHECKER...")
split = sys.argv.index("--")
expected, command = set(sys.argv[1:split]), sys.argv[split + 1:]
result = subprocess.run(command, capture_output=True, text=True)
print(result.stdout, end="")
print(result.stderr, end="", file=sys.stderr)
if result.returncode == SKIPPED:
    sys.exit(SKIPPED)
named = {m.group(1) for m in re.finditer(r"^([^\s:]+:\d+):", result.stdout, re.M)}
problems = []
if result.returncode != 1:
    problems.append(f"the checker exited with {result.returncode}, not 1")
if expected - named:
    problems.append("not named: " + " ".join(sorted(expected - named)))
if named - expected:
    problems.append("named but not planted: " + " ".join(sorted(named - expected)))
for p in problems:
    print("FAIL:", p)
sys.exit(1 if problems else 0)
