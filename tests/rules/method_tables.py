#!/usr/bin/env python3
"""The skin objects keep their method tables in a fixed slot order: a derived class keeps its base's slots and
appends its own. Run as `method_tables.py ROOT`: reads the class declarations under skin/ (wherever they are),
builds each class's table from its virtual functions the way the compiler lays it out (overrides take their
base's slot, new virtual functions follow in declaration order) and fails (exit 1), naming file:line, when a
table differs from the slot order below. With `--compiler CXX` (a mingw-w64 g++), the headers are also
compiled and the tables the compiler lays out (-fdump-lang-class) must be the same."""

import os
import re
import subprocess
import sys
import tempfile

from cpp_source import blank, line_of, read, sources

FOLDERS = ("skin",)
_BASE = ["Release", "Clone", "Attach", "GetHandle", "SetProperty", "GetProperty", "Send", "SetToolTip", "Move",
         "GetHwnd", "IsValid", "Redraw", "SendSync"]
# The slot order the objects keep: class -> (base class or None, slots from 0 on).
TABLES = {
    "SkinControlBase": (None, _BASE),
    "SkinControl": ("SkinControlBase", _BASE + ["BindPngControl", "SetBackColor", "SetOrderColor", "SetForeColor",
                                                "SetBackImage", "SetBackImageData", "SetBackType", "GetText"]),
    "SkinButton": ("SkinControlBase", _BASE + ["CreateButton", "BindButton", "SetFaceImages", "SetFaceImageData",
                                               "SetBackType"]),
    "SkinWindow": (None, ["Release", "Clone", "Attach", "SetBackImage", "SetBackImageData", "BindChildren", "Move",
                          "GetHandle", "IsValid", "Send"]),
}

CLASS = re.compile(r"\b(?:class|struct)\s+(\w+)\s*(?:final\s*)?"
                   r"(?::\s*(?:public|protected|private)?\s*([\w:]+)\s*)?\{")


def body_end(text, brace):
    depth = 0
    for i in range(brace, len(text)):
        depth += {"{": 1, "}": -1}.get(text[i], 0)
        if depth == 0:
            return i
    return len(text)


def members(text, start, end):
    """(name, offset, virtual, override) of each function declared between start and end, in order."""
    found, decl_start, depth = [], start, 0
    for m in re.finditer(r"[;{}]", text[start:end]):
        j = start + m.start()
        c = text[j]
        if depth:  # inside an inline body or a braced initialiser
            depth += {"{": 1, "}": -1}.get(c, 0)
            if depth == 0:
                decl_start = j + 1
            continue
        decl, at = text[decl_start:j], decl_start
        decl_start = j + 1
        if c == "{":
            depth = 1
        if "(" not in decl:
            continue
        head = decl[:decl.index("(")]
        words = re.findall(r"~?\w+", head)
        if words:
            found.append((words[-1], at + head.rfind(words[-1]), "virtual" in words,
                          "override" in re.findall(r"\w+", decl)))
    return found


def compiled_tables(compiler, root, headers):
    """class -> slot names of the method tables the compiler lays out for `headers`; an error text on failure."""
    with tempfile.TemporaryDirectory() as scratch:
        unit, dump = os.path.join(scratch, "tables.cpp"), os.path.join(scratch, "tables.class")
        with open(unit, "w") as f:
            f.writelines(f'#include "{h}"\n' for h in headers)
        try:
            command = [compiler, "-std=c++20", "-DWIN32_LEAN_AND_MEAN", "-DNOMINMAX", f"-I{root}", "-fsyntax-only",
                       f"-fdump-lang-class={dump}", unit]
            result = subprocess.run(command, capture_output=True, text=True)
        except OSError as e:
            return f"cannot run {compiler}: {e}"
        if result.returncode != 0:
            return f"{compiler} cannot compile the headers:\n{result.stderr}"
        with open(dump) as f:
            text = f.read()
    tables = {}
    for block in re.finditer(r"^Vtable for ([\w:]+)\n.*?\n((?:\d+\s+\(int \(\*\)\(\.\.\.\)\).*\n)+)", text, re.M):
        entries = re.findall(r"\)\)(.*)$", block.group(2), re.M)[2:]  # after the offset and the type info
        tables[block.group(1).split("::")[-1]] = [e.split("::")[-1] for e in entries]
    return tables


def compare_compiled(compiler, root, declared):
    tables = compiled_tables(compiler, root, sorted({rel for rel, *_ in declared.values()}))
    if isinstance(tables, str):
        return [tables]
    found = []
    for cls, (rel, line, *_) in sorted(declared.items()):
        slots = tables.get(cls)
        expected = TABLES.get(cls, (None, []))[1]
        # A pure virtual function's slot holds __cxa_pure_virtual, not its name.
        if slots is None:
            found.append(f"{rel}:{line}: the compiler laid out no method table for {cls}")
            continue
        wrong = [i for i, (s, e) in enumerate(zip(slots, expected)) if s not in (e, "__cxa_pure_virtual")]
        if wrong or len(slots) != len(expected):
            i = wrong[0] if wrong else min(len(slots), len(expected))
            have, want = (x[i] if i < len(x) else "nothing" for x in (slots, expected))
            found.append(f"{rel}:{line}: {cls} as compiled has {have} in slot {i}, not {want}")
    return found


def main(root, compiler=None):
    declared = {}  # class -> (file, line, base, [(name, line, virtual, override)])
    for rel, full in sources(root, FOLDERS):
        text = blank(read(full))
        for m in CLASS.finditer(text):
            end = body_end(text, m.end() - 1)
            funcs = [(n, line_of(text, at), v, o) for n, at, v, o in members(text, m.end(), end) if v or o]
            if funcs:
                base = m.group(2) and m.group(2).split("::")[-1]
                declared[m.group(1)] = (rel, line_of(text, m.start()), base, funcs)
    found = []
    for cls, (rel, line, base, funcs) in sorted(declared.items()):
        if cls not in TABLES:
            found.append(f"{rel}:{line}: {cls} has a method table that the checker does not know; add its slots")
            continue
        expected_base, expected = TABLES[cls]
        if base != expected_base:
            found.append(f"{rel}:{line}: {cls} derives from {base}, its slots from {expected_base}")
            continue
        table = list(TABLES[base][1]) if base else []
        if expected[:len(table)] != table:
            found.append(f"{rel}:{line}: the checker's slots of {cls} do not start with those of {base}")
            continue
        before = len(found)
        for name, at, _, override in funcs:
            if name in table and not override:
                found.append(f"{rel}:{at}: {cls}::{name} declares its base's slot again without override")
            elif override and name not in table:
                found.append(f"{rel}:{at}: {cls}::{name} overrides nothing of its base")
            elif name not in table:
                table.append(name)
                if len(table) > len(expected) or expected[len(table) - 1] != name:
                    slot = expected.index(name) if name in expected else "none"
                    found.append(f"{rel}:{at}: {cls}::{name} stands in slot {len(table) - 1}; its slot is {slot}")
        if len(found) == before and table != expected:
            found.append(f"{rel}:{line}: {cls} has the slots {table}, not {expected}")
    for cls in sorted(set(TABLES) - set(declared)):
        found.append(f"{FOLDERS[0]}/: no declaration of {cls} with its virtual functions")
    if compiler and set(TABLES) <= set(declared):
        found += compare_compiled(compiler, root, declared)
    for line in found:
        print(line)
    return 1 if found else 0


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[2] == "--compiler":
        sys.exit(main(sys.argv[1], sys.argv[3]))
    if len(sys.argv) != 2:
        sys.exit("usage: method_tables.py SOURCE_ROOT [--compiler CXX]")
    sys.exit(main(sys.argv[1]))
