"""The three windows at their places and design sizes on 1024x768, topmost and out of the taskbar; the
program runs on when the browser control cannot be created."""

from e2elib import Program, run, wait_for, wine_env

WS_EX_TOPMOST = 0x8
WS_EX_APPWINDOW = 0x40000

ON_1024x768 = {  # design size -> position
    (128, 128): (896, 590),  # MainWindow
    (250, 155): (646, 580),  # WebPanelWindow
    (295, 56): (904, 552),   # CountdownWindow
}


def check_places(program, expected=ON_1024x768):
    # Looked at once start-up is over: the clock shows "Now-" and the time from its first tick on (one second
    # after creation). Without the browser control the windows can show before start-up has placed them.
    wait_for(lambda: (lambda main: main and main.child(102, 32).text.startswith(b"Now-"))(program.find(128, 128)),
             60, what="clock text")
    windows = program.wait_windows(3)
    assert len(windows) == 3, windows
    for w in windows:
        size = w.rect[2:]
        assert size in expected, f"unexpected window {w}"
        assert w.rect[:2] == expected[size], f"{w} should be at {expected[size]}"
        assert w.num("exstyle") & WS_EX_TOPMOST, f"{w} is not topmost"
        assert not w.num("exstyle") & WS_EX_APPWINDOW, f"{w} asks for a taskbar button"
        assert w.num("owner") != 0, f"{w} has no owner and would show in the taskbar"
    # One invisible owner for all three.
    assert len({w.num("owner") for w in windows}) == 1


def test():
    with Program() as program:
        check_places(program)
    # Without a browser control (ieframe disabled) the panel stays empty and the program runs on.
    env = dict(wine_env())
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml,ieframe="
    with Program(extra_env=env) as program:
        check_places(program)
        panel = program.find(250, 155)
        assert [c.fields["class"] for c in panel.children] == ["OffClockWebHost"], panel.children
        assert program.running()


if __name__ == "__main__":  # test_screen_sizes.py takes check_places from here
    run(test)
