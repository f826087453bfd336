"""Closing MainWindow in any way during a countdown (the close button, Esc in the entry, Alt+F4) ends the program
with code 0, with nothing left on screen and without asking Windows to switch off. An empty trace proves that
only because the same prefix and trace settings show the call when it is made: the shutdown probe makes it
right after."""

import datetime
import os
import subprocess

from e2elib import (BUILD, WINE, Program, click, dump, end_prefix, exit_windows_calls, key, run, scaled,
                    switch_off_prefix, type_text, wait_for, wine_env)
from test_countdown import HEAD, child_text, controls, focus_entry, time_ahead

WAYS = [
    ("close button", lambda close: click(*close.centre)),
    ("Esc in the entry", lambda close: key("Escape")),
    ("Alt+F4", lambda close: key("alt+F4")),
]


def test():
    prefix = switch_off_prefix()
    env = {"WINEPREFIX": prefix, "WINEDEBUG": "-all,+relay"}
    traces = []
    last_target = None
    for name, close_it in WAYS:
        trace = os.path.join(BUILD, f"e2e-close-trace-{len(traces)}.txt")
        traces.append((name, trace))
        with Program(extra_env=env, stderr_path=trace) as program:
            program.wait_windows(3, timeout=90)
            entry, start, _, close = controls(program)
            focus_entry(program, entry)
            target = time_ahead(scaled(8))
            type_text(target)
            click(*start.centre)
            wait_for(lambda: (child_text(program, (295, 56), (296, 56)) or b"").startswith(HEAD), 10,
                     what="the countdown counting")
            if name != "close button":  # into the field, as a user who then changes their mind
                click(*entry.centre)
                program.wait_focus(entry)
            close_it(close)
            assert program.exit_code(10) == 0, name
            assert [w for w in dump(program.env) if w.kind != "input"] == [], f"{name}: a window stayed"
        last_target = datetime.datetime.combine(datetime.date.today(), datetime.time.fromisoformat(target))
    # The verdict waits until the last target and a late tick have passed: no switch-off could come later.
    wait_for(lambda: datetime.datetime.now() > last_target + datetime.timedelta(seconds=2), 15, interval=0.5,
             what="the target passing")
    end_prefix(prefix)
    for name, trace in traces:
        assert exit_windows_calls(trace) == [], f"closing by the {name} during a countdown must not switch off"

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
