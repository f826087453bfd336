"""The close button ends the program with code 0 during a countdown, without asking Windows to switch off."""

import os
import time

from e2elib import (BUILD, Program, click, end_prefix, exit_windows_calls, run, switch_off_prefix, type_text,
                    wait_for)
from test_countdown import CLOSE_BUTTON, ENTRY, START, countdown_window, entry_text, time_ahead


def test():
    prefix = switch_off_prefix()
    trace = os.path.join(BUILD, "e2e-close-trace.txt")
    with Program(extra_env={"WINEPREFIX": prefix, "WINEDEBUG": "-all,+relay"}, stderr_path=trace) as program:
        program.wait_windows(3, timeout=90)
        click(*ENTRY)
        wait_for(lambda: entry_text(program) == b"", 10, what="prompt cleared")
        type_text(time_ahead(8))
        click(*START)
        wait_for(lambda: countdown_window(program).num("visible") == 1, 5, what="countdown running")
        time.sleep(2)
        click(*CLOSE_BUTTON)
        assert program.exit_code(10) == 0
        time.sleep(8)  # past the target: nothing may happen any more
    end_prefix(prefix)
    assert exit_windows_calls(trace) == [], "closing during a countdown must not switch off"


if __name__ == "__main__":
    run(test)
