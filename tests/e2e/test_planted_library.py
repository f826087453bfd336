"""A library planted beside the program under a system library's name is never loaded: a GdiPlus.dll that
leaves a mark when loaded, copied beside a copy of offclock.exe, stays unloaded while the program starts and
draws its face. Wine prefers its own GDI+ even for a path unless told otherwise: gdiplus=n,b lets the planted
file win wherever the program would look for it. The control: in the same folder, under the same overrides,
a small program that loads GdiPlus.dll by its plain name does leave the mark."""

import os
import shutil
import subprocess
import tempfile

from e2elib import BUILD, PROGRAM, WINE, Program, run, scaled, wait_for, wine_env

PLANTED = os.path.join(BUILD, "tests", "e2e", "planted_library.dll")
LOADS_BY_NAME = os.path.join(BUILD, "tests", "e2e", "loads_by_name.exe")


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
        control = os.path.join(folder, "loads_by_name.exe")
        shutil.copy(LOADS_BY_NAME, control)
        loaded = subprocess.run([*WINE, control], env=wine_env({"WINEDLLOVERRIDES": overrides}),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=scaled(60))
        assert loaded.returncode == 0 and os.path.exists(mark), "a load by plain name did not reach the planted file"
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    run(test)
