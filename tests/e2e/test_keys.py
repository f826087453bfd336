"""Keys on the running program: Enter in the entry starts the countdown as the start button does, with the
colons an input method's punctuation mode types too; Tab and Shift+Tab move the focus between the entry and
the buttons, where Space or Enter presses, and no face stays lit; the clock takes neither the focus nor
typing, and a press on it drags MainWindow as a press on any bare point does."""

import re

from e2elib import Program, Screenshot, click, drag, gbk, key, run, type_into, type_text, wait_for, wait_for_screen
from test_countdown import (HEAD, TIME_PROMPT, child_text, controls, countdown_window, entry_text, focus_entry,
                            strip_text, time_ahead)

ES_READONLY = 0x800
WS_TABSTOP = 0x10000
CLOCK = rb"Now-\d\d:\d\d:\d\d"


def clock_text(program):
    return child_text(program, (128, 128), (102, 32))


def strip_shown(program, shown):
    strip = countdown_window(program)
    return strip.num("visible") == shown and (not shown or (strip_text(program) or b"").startswith(HEAD))


def test():
    with Program() as program:
        program.wait_windows(3, timeout=90)
        wait_for(lambda: re.fullmatch(CLOCK, clock_text(program) or b""), 60, what="clock text")
        entry, start, stop, close = controls(program)
        main = program.find(128, 128)
        clock = main.child(102, 32)
        boxes = [clock, countdown_window(program).child(296, 56)]
        for box in boxes:
            assert box.num("style") & ES_READONLY and not box.num("style") & WS_TABSTOP, box
        stop_face = Screenshot().region(*stop.rect)

        # "22：30：00" as a Chinese input method types it, and Enter: the countdown starts, the entry keeps the
        # text and the focus.
        focus_entry(program, entry)
        typed = time_ahead(300).replace(":", "：", 2)
        type_into(program, entry, typed, lambda: entry_text(program))
        key("Return")
        wait_for(lambda: strip_shown(program, 1), 10, what="the countdown in the strip")
        assert entry_text(program) == gbk(typed)
        program.wait_focus(entry)

        # Shift+Tab to the close button, then the stop button; Space presses it, and its face is the one it has
        # when nothing happens to it.
        key("shift+Tab")
        program.wait_focus(close)
        key("shift+Tab")
        program.wait_focus(stop)
        key("space")
        wait_for(lambda: strip_shown(program, 0), 10, what="the strip hidden by Space on stop")

        def face_at_rest(shot):
            assert shot.region(*stop.rect) == stop_face, "the stop button's face stays lit"
        wait_for_screen(face_at_rest)
        wait_for(lambda: entry_text(program) == TIME_PROMPT, 5, what="the entry reset after the stop")

        # Tab back through the close button to the entry, which clears its prompt as a click does; Enter starts
        # again, and Enter on stop stops.
        key("Tab")
        program.wait_focus(close)
        key("Tab")
        program.wait_focus(entry)
        wait_for(lambda: entry_text(program) == b"", 10, what="the prompt cleared by Tab")
        typed = time_ahead(300)
        type_text(typed)
        wait_for(lambda: entry_text(program) == gbk(typed), 10, what="the entry")
        key("Return")
        wait_for(lambda: strip_shown(program, 1), 10, what="the countdown started by Enter again")
        key("shift+Tab")
        key("shift+Tab")
        program.wait_focus(stop)
        key("Return")
        wait_for(lambda: strip_shown(program, 0), 10, what="the strip hidden by Enter on stop")
        wait_for(lambda: entry_text(program) == TIME_PROMPT, 5, what="the entry reset after the stop")

        # The clock takes no focus and no typing; a press on it drags MainWindow.
        click(*clock.centre)
        wait_for(lambda: program.input().num("foreground") == main.hwnd, 10, what="MainWindow in front")
        assert program.input().num("focus") != clock.hwnd, "the clock took the focus"
        type_text("99")
        assert re.fullmatch(CLOCK, clock_text(program)), clock_text(program)
        x, y = clock.centre
        drag(program, x, y, x - 40, y - 30)
        wait_for(lambda: program.find(128, 128).rect[:2] == (main.rect[0] - 40, main.rect[1] - 30), 10,
                 what="MainWindow dragged by its clock")

        # Enter on the focused close button ends the program, as a click on it does.
        entry, _, _, close = controls(program)
        focus_entry(program, entry)
        key("shift+Tab")
        program.wait_focus(close)
        key("Return")
        assert program.exit_code() == 0


if __name__ == "__main__":
    run(test)
