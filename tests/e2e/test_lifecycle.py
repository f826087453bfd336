"""How the run ends: closing MainWindow alone keeps the program running, the last window gone ends it with
code 0, the close button ends it with code 0, Esc closes the focused window, and a press on MainWindow's bare
area drags it."""

import time

from e2elib import Program, click, drag, key, probe, run, wait_for


def last_window_gone_ends_with_zero():
    with Program() as program:
        windows = program.wait_windows(3)
        main = program.find(128, 128, windows)
        probe("close", str(main.hwnd), env=program.env)
        wait_for(lambda: len(program.windows()) == 2, what="MainWindow closed")
        time.sleep(1.5)
        assert program.running(), "closing MainWindow alone must not end the program"
        for w in program.windows():
            probe("close", str(w.hwnd), env=program.env)
        assert program.exit_code() == 0


def close_button_ends_with_zero():
    # With the web panel showing its browser: the browser is let go before OLE ends, and the end is quick.
    with Program() as program:
        windows = program.wait_windows(3)
        assert any(w.children for w in windows if w.rect[2:] != (128, 128)), "a panel with its browser's window"
        click(896 + 94 + 8, 590 + 9 + 8)  # 按钮3
        assert program.exit_code(10) == 0


def escape_closes_the_focused_window_and_bare_press_drags():
    with Program() as program:
        program.wait_windows(3)
        # A press on MainWindow's bare area drags the window.
        drag(896 + 60, 590 + 22, 896 - 40, 590 - 60)
        main = wait_for(lambda: (lambda m: m if m and m.rect[:2] != (896, 590) else None)(program.find(128, 128)),
                        10, what="MainWindow moved")
        x, y = main.rect[:2]
        assert abs(x - 796) <= 4 and abs(y - 508) <= 4, main  # moved by the drag (-100, -82)
        # Esc in the entry field closes MainWindow alone.
        click(x + 16 + 40, y + 35 + 10)
        time.sleep(0.5)
        key("Escape")
        wait_for(lambda: program.find(128, 128) is None, 10, what="MainWindow closed by Esc")
        assert len(program.windows()) == 2
        assert program.running()


def test():
    last_window_gone_ends_with_zero()
    close_button_ends_with_zero()
    escape_closes_the_focused_window_and_bare_press_drags()


run(test)
