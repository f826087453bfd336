"""A whole countdown driven through the running program, in a Wine prefix of the test's own where the
switch-off really happens: format error, focus clearing, stop, and a countdown that ends in exactly one
ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, SHTDN_REASON_FLAG_PLANNED), the switch-off recorded as planned."""

import datetime
import os
import re
import time

from e2elib import (BUILD, Program, Screenshot, click, end_prefix, exit_windows_calls, gbk, run, scaled,
                    switch_off_prefix, type_text, wait_for, wait_for_screen, wineboot_broken)

TIME_PROMPT = gbk("时间格式00:00:00")
FORMAT_ERROR = gbk("格式要00:00:00")
HEAD = gbk("离关机还有\r\n")
SWITCH_OFF_FAILED = gbk("关机失败")


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


def strip_text(program):
    return child_text(program, (295, 56), (296, 56))


def countdown_window(program):
    return program.find(295, 56)


def controls(program):
    """MainWindow's entry field and its start, stop and close buttons, where the probe sees them."""
    main = program.find(128, 128)
    return main.child(94, 21), main.child(32, 32, 0), main.child(32, 32, 1), main.child(16, 16)


def time_ahead(seconds):
    # The target is a time of day: keep clear of midnight, where it would already be past.
    now = datetime.datetime.now()
    if (now + datetime.timedelta(seconds=seconds + 5)).date() != now.date():
        wait_for(lambda: datetime.date.today() != now.date(), seconds + 15, interval=1, what="midnight")
        now = datetime.datetime.now()
    return (now + datetime.timedelta(seconds=seconds)).strftime("%H:%M:%S")


def focus_entry(program, entry, cleared="prompt"):
    """Clicks into the entry field and waits until it has cleared and keys would reach it."""
    click(*entry.centre)
    wait_for(lambda: entry_text(program) == b"", 10, what=f"{cleared} cleared on focus")
    program.wait_focus(entry)


def is_text_colour(p):
    r, g, b = p
    return b > 180 and 90 <= r <= 190 and g < r and b - r > 60


def inked(shot, x, y, w, h):
    """The points of the rectangle, clipped to the screen, that show the strip's text colour."""
    return [(px, py) for py in range(y, y + h) for px in range(x, min(x + w, shot.width))
            if is_text_colour(shot.pixel(px, py))]


def strip_over_main(shot, strip, main):
    """The countdown's second line is whole above MainWindow's top edge: its text shows in the rows where the
    two windows overlap, which MainWindow's face covers when it lies above the strip."""
    x, y, w, h = strip.rect
    overlap = inked(shot, x, main.rect[1], w, y + h - main.rect[1])
    assert len(overlap) > 10, f"the strip's second line is covered where MainWindow overlaps it ({len(overlap)})"


def refusal_within_screen(shot, strip):
    """Every character of the refusal lies on the screen: the text's ink keeps clear of the screen's edge."""
    x, y, w, h = strip.rect
    ink = inked(shot, x, y, w, h)
    assert len(ink) > 100, f"no refusal on the screen ({len(ink)} pixels)"
    right = max(px for px, _ in ink)
    assert right < shot.width - 3, f"the refusal's ink reaches x {right}, the screen's edge"


def test():
    prefix = switch_off_prefix()
    trace = os.path.join(BUILD, "e2e-countdown-trace.txt")
    env = {"WINEPREFIX": prefix, "WINEDEBUG": "-all,+relay"}
    with Program(extra_env=env, stderr_path=trace) as program:
        program.wait_windows(3, timeout=90)
        entry, start, stop, _ = controls(program)

        # The clock: "Now-" and the current time, give or take the time it took to read it.
        wait_for(lambda: child_text(program, (128, 128), (102, 32)), what="clock text")
        asked = time.time()
        clock = child_text(program, (128, 128), (102, 32))
        slack = 5 + time.time() - asked
        assert clock.startswith(b"Now-") and len(clock) == 12, clock
        shown = datetime.datetime.strptime(clock[4:].decode(), "%H:%M:%S").time()
        now = datetime.datetime.now()
        delta = abs((now - datetime.datetime.combine(now.date(), shown)).total_seconds())
        assert delta < slack or delta > 86400 - slack, f"clock shows {shown}, now {now.time()}"

        # Focusing the field clears the prompt; a malformed entry gives the format error.
        assert entry_text(program) == TIME_PROMPT
        focus_entry(program, entry)
        type_text("12:30")
        wait_for(lambda: entry_text(program) == b"12:30", 10, what="typed entry")
        click(*start.centre)
        wait_for(lambda: entry_text(program) == FORMAT_ERROR, 10, what="format error")
        focus_entry(program, entry, "error")

        # A countdown a minute ahead, then stop: the strip disappears and the next tick resets the entry.
        type_text(time_ahead(60))
        click(*start.centre)
        wait_for(lambda: (strip_text(program) or b"").startswith(HEAD + b"0"), 10,
                 what="countdown message in CountdownWindow")
        strip = countdown_window(program)
        assert strip.num("visible") == 1
        # The strip shows the message in the text colour above MainWindow, where it is otherwise transparent
        # (its face is 楷体_GB2312, which this system lacks: the text must still show).
        def text_shown(shot):
            lit = [p for p in shot.region(*strip.rect[:2], 120, 38) if p[2] > 150 and p[2] - p[1] > 40]
            assert len(lit) > 30, f"no countdown text on screen ({len(lit)} pixels)"
        wait_for_screen(text_shown)
        # A click on a bare point of MainWindow activates it; the strip still floats over its top edge, and the
        # focus stays where the click put it.
        main = program.find(128, 128)
        click(main.rect[0] + 60, main.rect[1] + 24)
        wait_for(lambda: (program.input() or main).num("foreground") == main.hwnd, 10, what="MainWindow in front")
        wait_for_screen(lambda shot: strip_over_main(shot, strip, main))
        assert program.input().num("foreground") == main.hwnd, "the strip took the focus"
        click(*stop.centre)
        wait_for(lambda: countdown_window(program).num("visible") == 0, 5, what="CountdownWindow hidden")
        wait_for(lambda: entry_text(program) == TIME_PROMPT, 5, what="entry reset by the next tick")

        # A switch-off the system refuses is said in the strip, with the system's error code; the program goes
        # on and the countdown ends as usual.
        lead = scaled(7)
        with wineboot_broken(prefix):
            focus_entry(program, entry)
            type_text(time_ahead(lead))
            click(*start.centre)
            refusal = wait_for(lambda: (strip_text(program) or b"").startswith(SWITCH_OFF_FAILED) and strip_text(program),
                               lead + 15, what="the refusal in the strip")
        assert program.running()
        # The code on the first line, every digit of it, and the ink of the whole message on the screen.
        assert re.fullmatch(re.escape(SWITCH_OFF_FAILED) + rb"\((.+ )?\d+\)", refusal.split(b"\r\n")[0]), refusal
        wait_for_screen(lambda shot: refusal_within_screen(shot, countdown_window(program)))
        wait_for(lambda: entry_text(program) == TIME_PROMPT, 5, what="entry reset after the refusal")
        assert countdown_window(program).num("visible") == 1
        click(*stop.centre)  # hidden again, so that the start below is seen to take effect
        wait_for(lambda: countdown_window(program).num("visible") == 0, 5, what="CountdownWindow hidden")

        # A countdown a few seconds ahead ends in the switch-off, which ends the prefix's processes. It is seen
        # counting over at least three of its seconds.
        lead = scaled(10)
        focus_entry(program, entry)
        type_text(time_ahead(lead))
        click(*start.centre)
        wait_for(lambda: countdown_window(program).num("visible") == 1, 5, what="CountdownWindow shown")
        seen = set()

        def switched_off():
            text = strip_text(program)
            if text and text.startswith(HEAD):
                seen.add(text[len(HEAD):].decode("gbk"))
            return not program.running()
        wait_for(switched_off, 20, what="the switch-off to end the program")
        assert any(s.startswith("0小时:0分钟:") for s in seen), seen
        assert len(seen) >= 3, f"the countdown should have been seen counting: {seen}"

    end_prefix(prefix)
    calls = exit_windows_calls(trace)
    # The refused request and the one that ended the prefix.
    assert calls == ["Call user32.ExitWindowsEx(0000000c,80000000)"] * 2, calls


if __name__ == "__main__":
    run(test)
