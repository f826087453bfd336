"""Closing MainWindow in any way during a countdown (the close button, Esc in the entry, Alt+F4) ends the program
with code 0, with nothing left on screen and without asking Windows to switch off; and a Stop followed at once
by a Start with a malformed entry stays a stop. An empty trace proves that
only because the same prefix and trace settings show the call when it is made: the shutdown probe makes it
right after."""

import datetime
import os
import subprocess

from e2elib import (BUILD, WINE, Program, click, dump, end_prefix, exit_windows_calls, gbk, key, probe, run, scaled,
                    switch_off_prefix, type_text, wait_for, wine_env, xdotool)
from test_countdown import (HEAD, child_text, controls, countdown_window, entry_text, focus_entry, strip_text,
                            time_ahead)

def stop_then_malformed_start(program, entry, start, stop):
    probe("settext", str(entry.hwnd), "12:30", env=program.env)
    # Both presses within the second after a tick, before the tick that ends the stopped countdown.
    shown = strip_text(program)
    wait_for(lambda: strip_text(program) != shown, 5, interval=0.02, what="a tick")
    xdotool("mousemove", "--sync", *stop.centre, "click", 1, "mousemove", "--sync", *start.centre, "click", 1)
    # The stop stood: its tick ended the countdown and put the prompt back over the start's format error. Had the
    # start withdrawn it, the countdown would go on with the format error in the entry.
    wait_for(lambda: entry_text(program) == gbk("时间格式00:00:00"), 10, what="the stop ending the countdown")
    assert not countdown_window(program).num("visible"), "the strip stays hidden after the stop"


# How the user says no, and whether the program then ends.
WAYS = [
    ("close button", lambda program, entry, start, stop, close: click(*close.centre), True),
    ("Esc in the entry", lambda *_: key("Escape"), True),
    ("Alt+F4", lambda *_: key("alt+F4"), True),
    ("stop, then a malformed start", lambda program, entry, start, stop, close: stop_then_malformed_start(
        program, entry, start, stop), False),
]


def passed(target):
    wait_for(lambda: datetime.datetime.now() > target + datetime.timedelta(seconds=2), scaled(15), interval=0.5,
             what="the target passing")


def test():
    prefix = switch_off_prefix()
    env = {"WINEPREFIX": prefix, "WINEDEBUG": "-all,+relay"}
    traces = []
    last_target = None
    for name, say_no, ends in WAYS:
        trace = os.path.join(BUILD, f"e2e-close-trace-{len(traces)}.txt")
        traces.append((name, trace))
        with Program(extra_env=env, stderr_path=trace) as program:
            program.wait_windows(3, timeout=90)
            entry, start, stop, close = controls(program)
            focus_entry(program, entry)
            target = time_ahead(scaled(8))
            type_text(target)
            click(*start.centre)
            wait_for(lambda: (child_text(program, (295, 56), (296, 56)) or b"").startswith(HEAD), 10,
                     what="the countdown counting")
            if name in ("Esc in the entry", "Alt+F4"):  # into the field, as a user who then changes their mind
                click(*entry.centre)
                program.wait_focus(entry)
            say_no(program, entry, start, stop, close)
            last_target = datetime.datetime.combine(datetime.date.today(), datetime.time.fromisoformat(target))
            if ends:
                assert program.exit_code(10) == 0, name
                assert [w for w in dump(program.env) if w.kind != "input"] == [], f"{name}: a window stayed"
            else:
                passed(last_target)
                assert program.running(), name
    # The verdict waits until the last target and a late tick have passed: no switch-off could come later.
    passed(last_target)
    end_prefix(prefix)
    for name, trace in traces:
        assert exit_windows_calls(trace) == [], f"{name} during a countdown must not switch off"

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
