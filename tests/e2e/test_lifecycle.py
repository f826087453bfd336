"""How the run ends: closing MainWindow in any way (the system's close, Esc, the close button) ends it with code 0;
closing the panel keeps it running; Esc on the strip stops the countdown and hides the strip, Esc on the panel
closes the panel alone; and a press on MainWindow's bare area drags it."""

import subprocess

from e2elib import Program, Screenshot, click, drag, gbk, key, probe, run, type_text, wait_for
from test_countdown import HEAD, child_text, controls, entry_text, focus_entry, time_ahead

PANEL_SIZE = (250, 155)  # WebPanelWindow
COUNTDOWN_SIZE = (295, 56)  # CountdownWindow


def goes_on(program):
    """Whether the program still runs after what came before. The probe has a text of its own taken by the
    program's thread (a sent WM_SETTEXT into the strip), so that thread is known to have handled everything the
    close queued before it. That alone proves nothing: a thread that has its quit message queued still takes a
    sent message first (sent messages are dispatched inside GetMessage before WM_QUIT is retrieved). So the
    program is watched for a second more (scaled), long enough for a quit to have ended it. (The windows left
    have no timer running to wait for: the strip is written only when the countdown writes.)"""
    strip_text = program.find(*COUNTDOWN_SIZE).child(296, 56)
    probe("settext", str(strip_text.hwnd), "x", env=program.env)

    def strip_took_it():
        strip = program.find(*COUNTDOWN_SIZE)
        return strip is not None and strip.child(296, 56).text == b"x"
    wait_for(lambda: not program.running() or strip_took_it(), 10, what="the strip to take a text")
    try:
        program.exit_code(1)  # waits on the process itself, a second at most (scaled)
    except subprocess.TimeoutExpired:
        return True
    return False


def closing_the_panel_keeps_the_program_and_closing_mainwindow_ends_it():
    with Program() as program:
        windows = program.wait_windows(3)
        probe("close", str(program.find(*PANEL_SIZE, windows).hwnd), env=program.env)
        wait_for(lambda: program.find(*PANEL_SIZE) is None, what="the panel closed")
        assert goes_on(program), "closing the panel must not end the program"
        # The system's close of MainWindow ends the program, as its close button does.
        probe("close", str(program.find(128, 128).hwnd), env=program.env)
        assert program.exit_code(10) == 0


def close_button_ends_with_zero():
    # With the web panel showing its browser: the browser is let go before OLE ends, and the end is quick.
    with Program() as program:
        program.wait_windows(3)
        wait_for(lambda: any(c.fields.get("class") == "Shell Embedding" for c in program.find(*PANEL_SIZE).children),
                 30, what="the web panel's browser window")
        click(*program.find(128, 128).child(16, 16).centre)  # 按钮3
        assert program.exit_code(10) == 0


def escape_closes(program, size, point):
    """Clicks the window of that size at point, presses Esc and waits for that window alone to close. (A
    window brought forward from another process does not get the screen's keyboard: a click gives it.)"""
    window = program.find(*size)
    click(*point)
    wait_for(lambda: (program.input() or window).num("foreground") == window.hwnd, 10, what=f"{window} in front")
    others = len(program.windows()) - 1
    key("Escape")
    wait_for(lambda: program.find(*size) is None, 10, what=f"{window} closed by Esc")
    assert len(program.windows()) == others, "Esc must close that window alone"


def escape_on_mainwindow_ends_the_program_and_bare_press_drags():
    with Program() as program:
        x0, y0 = program.find(128, 128, program.wait_windows(3)).rect[:2]
        # A press on MainWindow's bare area drags the window.
        drag(program, x0 + 60, y0 + 22, x0 - 40, y0 - 60)
        main = program.find(128, 128)
        x, y = main.rect[:2]
        assert abs(x - x0 + 100) <= 4 and abs(y - y0 + 82) <= 4, main  # moved by the drag (-100, -82)
        # Esc in the entry field closes MainWindow, which ends the program.
        entry = main.child(94, 21)
        click(*entry.centre)
        program.wait_focus(entry)
        key("Escape")
        assert program.exit_code(10) == 0


def escape_stops_at_the_strip_and_closes_the_panel():
    with Program() as program:
        program.wait_windows(3)
        entry, start, _, _ = controls(program)
        focus_entry(program, entry)
        type_text(time_ahead(600))  # never reached: the program is ended long before
        click(*start.centre)
        wait_for(lambda: (child_text(program, COUNTDOWN_SIZE, (296, 56)) or b"").startswith(HEAD), 10,
                 what="the countdown counting")
        # The strip takes a click only where its text is drawn; MainWindow lies over its lower part.
        strip, main = program.find(*COUNTDOWN_SIZE).rect, program.find(128, 128).rect
        shot = Screenshot()
        inked = [(x, y) for y in range(strip[1], strip[1] + strip[3]) for x in range(strip[0], strip[0] + strip[2])
                 if x < shot.width and not inside(main, x, y) and shot.pixel(x, y) != (0, 0, 0)]
        assert inked, "the strip's text on the screen"
        # Esc on the strip stops the countdown it announces and hides it for the next one.
        window = program.find(*COUNTDOWN_SIZE)
        click(*inked[len(inked) // 2])
        wait_for(lambda: (program.input() or window).num("foreground") == window.hwnd, 10, what="the strip in front")
        key("Escape")
        wait_for(lambda: not program.find(*COUNTDOWN_SIZE).num("visible"), 10, what="the strip hidden by Esc")
        wait_for(lambda: entry_text(program) == gbk("时间格式00:00:00"), 10, what="the countdown stopped")
        escape_closes(program, PANEL_SIZE, program.find(*PANEL_SIZE).centre)
        assert program.running() and program.find(128, 128), "MainWindow stays"


def inside(rect, x, y):
    return rect[0] <= x < rect[0] + rect[2] and rect[1] <= y < rect[1] + rect[3]


def test():
    closing_the_panel_keeps_the_program_and_closing_mainwindow_ends_it()
    close_button_ends_with_zero()
    escape_on_mainwindow_ends_the_program_and_bare_press_drags()
    escape_stops_at_the_strip_and_closes_the_panel()


run(test)
