#!/usr/bin/env python3
"""skin/ and gfx/ reach every Win32, COM and GDI+ function through the system-function table, as sys::Name(...).
Run as `raw_win32.py ROOT`: prints every other call of a system function as file:line and fails (exit 1).
The functions are those of the table (its OC_SYSFN and OC_GDIPFN entries, found wherever the table lives under
skin/ or gfx/), every Gdip... name, and the common ones below that the table does not hold. A paint DC is
begun and ended only by its holder (gfx::PaintDc)."""

import re
import sys

from cpp_source import blank, line_of, read, sources

# The files that may call system functions directly (relative to the source root): update when they move.
ALLOWED_FILES = {
    "gfx/sysapi.h": "the table itself",
    "gfx/sys_binder.h": "the binder",
    "gfx/sys_binder.cpp": "the binder: loads the libraries and looks the names up",
}
FOLDERS = ("skin", "gfx")
# Calls made only by a holder, even through sys:: (function: the file of its holder).
HELD = {"BeginPaint": "gfx/holders.h", "EndPaint": "gfx/holders.h"}

# System functions that app/ calls directly and the table does not hold (yet): a use in skin/ or gfx/ needs
# a table entry first. The table's own names are added to these.
COMMON = """
    BeginPaint BitBlt ClientToScreen CoInitializeEx CreateCompatibleBitmap CreateCompatibleDC CreateDIBSection
    CreateFontA CreateFontIndirectA CreatePatternBrush CreatePen CreateSolidBrush CreateWindowExA DeleteDC
    DeleteObject DestroyWindow DispatchMessageA DrawTextA EnableWindow EndPaint FillRect FreeLibrary GetAncestor
    GetCursorPos GetDC GetDeviceCaps GetDlgCtrlID GetDlgItem GetFocus GetKeyState GetLastError GetMessageA
    GetModuleFileNameA GetNextDlgTabItem GetProcAddress GetStockObject GetSysColor GetSystemMetrics
    GetSystemTimeAsFileTime GetTextMetricsA GetWindowTextA GetWindowTextLengthA IsWindowEnabled IsWindowVisible
    KillTimer LoadCursorA LoadImageA LoadLibraryA LoadLibraryExA MapWindowPoints MessageBoxA MoveWindow
    PostQuitMessage RedrawWindow RegisterClassExA ReleaseCapture ReleaseDC ScreenToClient SelectObject SetBkColor
    SetBkMode SetBrushOrgEx SetCapture SetCurrentDirectoryA SetCursor SetFocus SetMenu SetTextColor SetTimer
    SetWindowRgn SetWindowTextA ShowWindow SystemParametersInfoA TrackMouseEvent TranslateMessage
    UpdateLayeredWindow UpdateWindow WideCharToMultiByte
""".split()

# GDI+'s C++ wrapper classes call GdiPlus.dll behind the table's back.
GDIPLUS_CLASSES = re.compile(
    r"\bGdiplus\s*::\s*(Graphics|Bitmap|Image|Font|FontFamily|Brush|SolidBrush|Pen|StringFormat|Region|"
    r"GraphicsPath|ImageAttributes|Matrix)\b(?!\s*::)")
ENTRY = re.compile(r"\bOC_SYSFN\s*\([^,()]*,\s*(\w+)\s*\)|\bOC_GDIPFN\s*\(\s*(\w+)\s*\)|"
                   r"\bsys::Entry<[^;{]*>\s*(\w+)\s*[{(]")
CALL = re.compile(r"\b([A-Za-z_]\w*)\s*\(")
QUALIFIER = re.compile(r"(\w+)?::\s*$")


def table_names(files):
    names = set()
    for _, text in files:
        for m in ENTRY.finditer(text):
            names.add(next(g for g in m.groups() if g))
    return names


def main(root):
    files = [(rel, blank(read(full))) for rel, full in sources(root, FOLDERS)]
    table = table_names(files)
    if not table:
        print(f"no system-function table (OC_SYSFN entries) under {' or '.join(FOLDERS)}/")
        return 1
    names = table | set(COMMON)
    # The headers map the suffix-free names (SetProp, SendMessage) onto the ...A functions.
    names |= {n[:-1] for n in names if re.search(r"[a-z0-9][AW]$", n)}
    found = []
    for rel, text in files:
        if rel in ALLOWED_FILES:
            continue
        for m in CALL.finditer(text):
            name = m.group(1)
            before = text[max(0, m.start() - 80):m.start()].rstrip()
            if before.endswith((".", "->")):
                continue  # a member of an object
            if name in HELD and rel != HELD[name]:
                found.append(f"{rel}:{line_of(text, m.start())}: {name}(...) outside its holder in {HELD[name]}")
                continue
            if name not in names and not name.startswith("Gdip"):
                continue
            q = QUALIFIER.search(before)
            if q and q.group(1) not in (None, "Gdiplus", "DllExports"):
                continue  # sys::Name, or a function of the program's own that shares a system name
            found.append(f"{rel}:{line_of(text, m.start())}: {'::' if q else ''}{name}(...) not through sys::")
        for m in GDIPLUS_CLASSES.finditer(text):
            found.append(f"{rel}:{line_of(text, m.start())}: Gdiplus::{m.group(1)} (a wrapper class) not through sys::")
    for line in sorted(found, key=lambda f: (f.split(":")[0], int(f.split(":")[1]))):
        print(line)
    if found:
        print(f"{len(found)} system call(s) outside the table; add an entry to the table and call sys::Name "
              "(the files allowed to call directly are named at the top of tests/rules/raw_win32.py)")
    return 1 if found else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: raw_win32.py SOURCE_ROOT")
    sys.exit(main(sys.argv[1]))
