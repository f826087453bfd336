"""The close button ends the program with code 0 during a countdown, without asking Windows to switch off.
An empty trace proves that only because the same prefix and trace settings show the call when it is made:
the shutdown probe makes it right after."""

import datetime
import os
import subprocess

from e2elib import (BUILD, WINE, Program, click, end_prefix, exit_windows_calls, run, scaled, switch_off_prefix,
                    type_text, wait_for, wine_env)
from test_countdown import HEAD, child_text, controls, focus_entry, time_ahead


def test():
    prefix = switch_off_prefix()
    trace = os.path.join(BUILD, "e2e-close-trace.txt")
    env = {"WINEPREFIX": prefix, "WINEDEBUG": "-all,+relay"}
    with Program(extra_env=env, stderr_path=trace) as program:
        program.wait_windows(3, timeout=90)
        entry, start, _, close = controls(program)
        focus_entry(program, entry)
        target = time_ahead(scaled(8))
        type_text(target)
        click(*start.centre)
        wait_for(lambda: (child_text(program, (295, 56), (296, 56)) or b"").startswith(HEAD), 10,
                 what="the countdown counting")
        click(*close.centre)
        assert program.exit_code(10) == 0
    # The verdict waits until the target and a late tick have passed: no switch-off could come later.
    target = datetime.datetime.combine(datetime.date.today(), datetime.time.fromisoformat(target))
    wait_for(lambda: datetime.datetime.now() > target + datetime.timedelta(seconds=2), 15, interval=0.5,
             what="the target passing")
    end_prefix(prefix)
    assert exit_windows_calls(trace) == [], "closing during a countdown must not switch off"

    control = os.path.join(BUILD, "e2e-close-control-trace.txt")
    with open(control, "wb") as err:
        subprocess.run([*WINE, os.path.join(BUILD, "tests", "e2e", "shutdown_probe.exe")],
                       env=wine_env({**env, "OC_SHUTDOWN_PROBE_PREFIX": "own"}), stdout=subprocess.DEVNULL, stderr=err,
                       timeout=scaled(60))
    end_prefix(prefix)
    assert exit_windows_calls(control) == ["Call user32.ExitWindowsEx(0000000c,80000000)"], \
        "the trace shows no call that was made"


if __name__ == "__main__":
    run(test)
