"""How the run ends: closing MainWindow alone keeps the program running, the last window gone ends it with
code 0, the close button ends it with code 0, Esc closes the focused window, and a press on MainWindow's bare
area drags it."""

from e2elib import Program, click, drag, key, probe, run, wait_for


def goes_on(program):
    """Whether the program still runs after what came before. A quitting program takes its quit message as soon
    as the close has been handled; by the time the probe has seen the window gone and then had a text of its own
    taken by the program's thread (a sent WM_SETTEXT into the strip), such a program has ended. (The windows
    left have no timer running to wait for: the strip is written only when the countdown writes.)"""
    strip_text = program.find(295, 56).child(296, 56)
    probe("settext", str(strip_text.hwnd), "x", env=program.env)

    def strip_took_it():
        strip = program.find(295, 56)
        return strip is not None and strip.child(296, 56).text == b"x"
    wait_for(lambda: not program.running() or strip_took_it(), 10, what="the strip to take a text")
    return program.running()


def last_window_gone_ends_with_zero():
    with Program() as program:
        windows = program.wait_windows(3)
        main = program.find(128, 128, windows)
        probe("close", str(main.hwnd), env=program.env)
        wait_for(lambda: len(program.windows()) == 2, what="MainWindow closed")
        assert goes_on(program), "closing MainWindow alone must not end the program"
        for w in program.windows():
            probe("close", str(w.hwnd), env=program.env)
        assert program.exit_code() == 0


def close_button_ends_with_zero():
    # With the web panel showing its browser: the browser is let go before OLE ends, and the end is quick.
    with Program() as program:
        windows = program.wait_windows(3)
        assert any(w.children for w in windows if w.rect[2:] != (128, 128)), "a panel with its browser's window"
        click(*program.find(128, 128).child(16, 16).centre)  # 按钮3
        assert program.exit_code(10) == 0


def escape_closes_the_focused_window_and_bare_press_drags():
    with Program() as program:
        x0, y0 = program.find(128, 128, program.wait_windows(3)).rect[:2]
        # A press on MainWindow's bare area drags the window.
        drag(program, x0 + 60, y0 + 22, x0 - 40, y0 - 60)
        main = program.find(128, 128)
        x, y = main.rect[:2]
        assert abs(x - x0 + 100) <= 4 and abs(y - y0 + 82) <= 4, main  # moved by the drag (-100, -82)
        # Esc in the entry field closes MainWindow alone.
        entry = main.child(94, 21)
        click(*entry.centre)
        program.wait_focus(entry)
        key("Escape")
        wait_for(lambda: program.find(128, 128) is None, 10, what="MainWindow closed by Esc")
        assert len(program.windows()) == 2
        assert goes_on(program), "Esc must close MainWindow alone"


def test():
    last_window_gone_ends_with_zero()
    close_button_ends_with_zero()
    escape_closes_the_focused_window_and_bare_press_drags()


run(test)
