"""A whole countdown driven through the running program, in a Wine prefix of the test's own where the
switch-off really happens: format error, focus clearing, stop, and a countdown that ends in exactly one
ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0)."""

import datetime
import os
import time

from e2elib import (BUILD, TIME_SCALE, Program, Screenshot, click, end_prefix, exit_windows_calls, gbk, run,
                    switch_off_prefix, type_text, wait_for)

MAIN = (896, 590)
ENTRY = (MAIN[0] + 16 + 47, MAIN[1] + 35 + 10)
START = (MAIN[0] + 2 + 16, MAIN[1] + 1 + 16)
STOP = (MAIN[0] + 87 + 16, MAIN[1] + 88 + 16)
CLOSE_BUTTON = (MAIN[0] + 94 + 8, MAIN[1] + 9 + 8)
TIME_PROMPT = gbk("时间格式00:00:00")
FORMAT_ERROR = gbk("格式要00:00:00")
HEAD = gbk("离关机还有\r\n")


def child_text(program, window_size, child_size):
    w = program.find(*window_size)
    if w is None:
        return None
    for c in w.children:
        if c.rect[2:] == child_size:
            return c.text
    return None


def entry_text(program):
    return child_text(program, (128, 128), (94, 21))


def countdown_window(program):
    return program.find(295, 56)


def time_ahead(seconds):
    # The target is a time of day: keep clear of midnight, where it would already be past.
    now = datetime.datetime.now()
    if (now + datetime.timedelta(seconds=seconds + 5)).date() != now.date():
        time.sleep(seconds + 10)
        now = datetime.datetime.now()
    return (now + datetime.timedelta(seconds=seconds)).strftime("%H:%M:%S")


def test():
    prefix = switch_off_prefix()
    trace = os.path.join(BUILD, "e2e-countdown-trace.txt")
    env = {"WINEPREFIX": prefix, "WINEDEBUG": "-all,+relay"}
    with Program(extra_env=env, stderr_path=trace) as program:
        program.wait_windows(3, timeout=90)

        # The clock: "Now-" and the current time.
        clock = wait_for(lambda: child_text(program, (128, 128), (102, 32)), what="clock text")
        assert clock.startswith(b"Now-") and len(clock) == 12, clock
        shown = datetime.datetime.strptime(clock[4:].decode(), "%H:%M:%S").time()
        now = datetime.datetime.now()
        delta = abs((now - datetime.datetime.combine(now.date(), shown)).total_seconds())
        assert delta < 5 or delta > 86395, f"clock shows {shown}, now {now.time()}"

        # Focusing the field clears the prompt; a malformed entry gives the format error.
        assert entry_text(program) == TIME_PROMPT
        click(*ENTRY)
        wait_for(lambda: entry_text(program) == b"", 10, what="prompt cleared on focus")
        type_text("12:30")
        wait_for(lambda: entry_text(program) == b"12:30", 10, what="typed entry")
        click(*START)
        wait_for(lambda: entry_text(program) == FORMAT_ERROR, 10, what="format error")
        click(*ENTRY)
        wait_for(lambda: entry_text(program) == b"", 10, what="error cleared on focus")

        # A countdown a minute ahead, then stop: the strip disappears and the next tick resets the entry.
        type_text(time_ahead(60))
        click(*START)
        wait_for(lambda: (child_text(program, (295, 56), (296, 56)) or b"").startswith(HEAD + b"0"), 10,
                 what="countdown message in CountdownWindow")
        assert countdown_window(program).num("visible") == 1
        # The strip shows the message in the text colour above MainWindow, where it is otherwise transparent
        # (its face is 楷体_GB2312, which this system lacks: the text must still show).
        time.sleep(1.2)
        strip = Screenshot().region(904, 552, 120, 38)
        lit = [p for p in strip if p[2] > 150 and p[2] - p[1] > 40]
        assert len(lit) > 30, f"no countdown text on screen ({len(lit)} pixels)"
        click(*STOP)
        wait_for(lambda: countdown_window(program).num("visible") == 0, 5, what="CountdownWindow hidden")
        wait_for(lambda: entry_text(program) == TIME_PROMPT, 5, what="entry reset by the next tick")

        # A countdown a few seconds ahead (long enough for the probe to read it a few times, so longer under
        # emulation) ends in the switch-off, which ends the prefix's processes.
        click(*ENTRY)
        wait_for(lambda: entry_text(program) == b"", 10, what="prompt cleared")
        type_text(time_ahead(round(7 * TIME_SCALE)))
        click(*START)
        wait_for(lambda: countdown_window(program).num("visible") == 1, 5, what="CountdownWindow shown")
        seen = set()
        deadline = time.time() + 20 * TIME_SCALE
        while program.running() and time.time() < deadline:
            text = child_text(program, (295, 56), (296, 56))
            if text and text.startswith(HEAD):
                seen.add(text[len(HEAD):].decode("gbk"))
            time.sleep(0.3)
        assert not program.running(), "the switch-off did not end the program"
        assert any(s.startswith("0小时:0分钟:") for s in seen), seen
        assert len(seen) >= 3, f"the countdown should have been seen counting: {seen}"

    end_prefix(prefix)
    calls = exit_windows_calls(trace)
    assert calls == ["Call user32.ExitWindowsEx(0000000c,00000000)"], calls


if __name__ == "__main__":
    run(test)
