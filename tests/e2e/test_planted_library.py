"""A library planted beside the program under a system library's name is never loaded: a GdiPlus.dll that
leaves a mark when loaded, copied beside a copy of offclock.exe, stays unloaded while the program starts and
draws its face. Wine prefers its own GDI+ even for a path unless told otherwise: gdiplus=n,b lets the planted
file win wherever the program would look for it."""

import os
import shutil
import tempfile

from e2elib import BUILD, PROGRAM, Program, run, wait_for, wine_env

PLANTED = os.path.join(BUILD, "tests", "e2e", "planted_library.dll")


def test():
    folder = tempfile.mkdtemp(prefix="planted-", dir=BUILD)
    try:
        program = os.path.join(folder, "offclock.exe")
        shutil.copy(PROGRAM, program)
        shutil.copy(PLANTED, os.path.join(folder, "GdiPlus.dll"))
        overrides = wine_env()["WINEDLLOVERRIDES"] + ";gdiplus=n,b"
        mark = os.path.join(folder, "planted-library-loaded")
        with Program(extra_env={"WINEDLLOVERRIDES": overrides}, program=program) as running:
            def shown():  # the windows are composed with GDI+ before they are shown
                windows = running.windows()
                return len(windows) == 3 and all(w.num("visible") for w in windows)
            wait_for(lambda: os.path.exists(mark) or shown(), 90, what="the program's face or the mark")
            assert not os.path.exists(mark), "the GdiPlus.dll beside the program was loaded"
            assert running.running(), "the program ended while starting"
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    run(test)
