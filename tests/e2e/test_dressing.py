"""The dressed program as a user meets it: layered MainWindow and CountdownWindow with their skinned
children, the translucent rounded face, the button faces, the clock in the text colour, hover faces and the
tooltip (none on the close button), the drawn caret blinking in the entry field, the buttons' names as a screen
reader reads them, and nothing of the hidden holder of the countdown message on the face during a countdown."""

import time

from e2elib import Program, Screenshot, click, gbk, probe, run, type_text, wait_for, wait_for_screen, xdotool
from test_countdown import HEAD, time_ahead

WS_EX_TOPMOST = 0x8
WS_EX_LAYERED = 0x80000
AWAY = (500, 100)  # bare screen, away from the program's windows


def is_text_colour(p):
    r, g, b = p
    return b > 180 and 90 <= r <= 190 and g < r and b - r > 60


def check_structure(program):
    windows = program.wait_windows(3)
    main = program.find(128, 128, windows)
    strip = program.find(295, 56, windows)
    panel = program.find(250, 155, windows)
    for w in (main, strip):
        assert w.num("exstyle") & WS_EX_LAYERED, f"{w} is not layered"
        assert not w.num("PngControl_Time"), f"{w} runs a caret-blink timer with no text child focused"
    assert not panel.num("exstyle") & WS_EX_LAYERED, "WebPanelWindow stays unskinned"
    for w in windows:
        assert w.num("exstyle") & WS_EX_TOPMOST and w.num("owner"), f"{w} left the top or entered the taskbar"
    edits = [c for c in main.children if c.fields["class"] == "Edit"]
    skinned = [c for c in edits if c.num("PngControl_Type") == 4]
    assert len(skinned) == 2, "the clock and the entry field are PNG controls; 编辑框3 is not"
    for c in skinned + [c for c in strip.children]:
        assert c.num("PngControl_Type") == 4
        assert c.num("PngControl_ChildWndProc") and not c.num("PngControl_WndProc"), f"{c} lacks the layered proc"
        assert c.num("PngControl_TextColor") == 16740484
    buttons = [c for c in main.children if c.fields["class"] == "Button"]
    assert len(buttons) == 3
    for b in buttons:
        assert b.num("PngControl_Type") == 3 and b.num("PngControl_ChildWndProc"), f"{b} lacks the button skin"
        assert not b.num("PngControl_WndProc")
    return main, strip


def accessible_names(program, controls):
    """What a screen reader announces for each control (None: no name), asked from another process."""
    names = {}
    for line in probe("names", *[str(c.hwnd) for c in controls], env=program.env).splitlines():
        if line.startswith("name\t"):
            fields = dict(p.split("=", 1) for p in line.split("\t")[1:])
            names[int(fields["hwnd"])] = None if fields["name"] == "-" else bytes.fromhex(fields["name"]).decode()
    return [names.get(c.hwnd) for c in controls]


def region(shot, window, inset=0):
    x, y, w, h = window.rect
    return shot.region(x + inset, y + inset, w - 2 * inset, h - 2 * inset)


def check_face(shot, main, strip):
    # Corners translucent or transparent over the black root window, the middle opaque (face F).
    mx, my = main.rect[:2]
    for corner in [(mx, my), (mx + 127, my), (mx, my + 127), (mx + 127, my + 127)]:
        assert max(shot.pixel(*corner)) < 100, f"corner {corner} is {shot.pixel(*corner)}"
    assert min(shot.pixel(mx + 60, my + 20)) > 200, f"middle is {shot.pixel(mx + 60, my + 20)}"
    # The start face is grey with a light symbol, the stop face red.
    start = region(shot, main.child(32, 32, 0), inset=2)
    assert sum(1 for p in start if max(p) - min(p) < 30 and 60 < p[0] < 200) > 100, "no grey start face"
    stop = region(shot, main.child(32, 32, 1), inset=2)
    assert sum(1 for p in stop if p[0] > 150 and p[0] - p[1] > 80) > 100, "no red stop face"
    clock = region(shot, main.child(102, 32))
    assert sum(1 for p in clock if is_text_colour(p)) > 40, "clock text not in the text colour"
    # CountdownWindow shows nothing before the first countdown: the strip above MainWindow stays black.
    assert all(max(p) < 8 for p in shot.region(*strip.rect[:2], 120, 38)), "CountdownWindow is not fully transparent"


def test():
    with Program() as program:
        main, strip = check_structure(program)
        entry, start, close = main.child(94, 21), main.child(32, 32, 0), main.child(16, 16)
        # The faces carry no words for a screen reader: each button's name is its window text, never drawn.
        names = accessible_names(program, [start, main.child(32, 32, 1), close])
        assert names == ["开始", "停止", "关闭"], f"start, stop and close are announced as {names}"

        def draw_states():
            return {c.hwnd: c.num("Lumen_DrawState") for c in program.find(128, 128).children}

        xdotool("mousemove", "--sync", *AWAY)
        wait_for(lambda: not any(draw_states().values()), 10, what="every button in its normal face")
        before = wait_for_screen(lambda shot: check_face(shot, main, strip))

        def tips_shown():
            return [w for w in program.windows_all() if w.kind == "tooltip" and w.num("visible")]

        # Hover on the start button: face B (pixels change) and the tooltip.
        hovered_at = time.time()
        xdotool("mousemove", "--sync", *start.centre)
        tips = wait_for(tips_shown, 10, what="a visible tooltip")
        tip_delay = time.time() - hovered_at
        assert any(t.text == gbk("设置并启动定时关机") for t in tips), tips

        def start_face_changed(shot):
            changed = sum(1 for a, b in zip(region(before, start), region(shot, start)) if a != b)
            assert changed > 50, f"start face did not change under the mouse ({changed} pixels)"
        wait_for_screen(start_face_changed)

        # The close button: the same face in every state, looked at once the hover has been handled.
        xdotool("mousemove", "--sync", *close.centre)
        wait_for(lambda: draw_states()[close.hwnd] == 1, 10, what="the close button hovered")
        assert region(Screenshot(), close) == region(before, close), "close face changed on hover"
        # ... and no tooltip: none shows over it in three times what the start button's took (the start
        # button's own goes once the mouse has left it).
        watched_until = time.time() + 3 * tip_delay
        while time.time() < watched_until:
            assert all(t.text == tips[0].text for t in tips_shown()), "a tooltip over the close button"
        assert not tips_shown(), "a tooltip over the close button"
        xdotool("mousemove", "--sync", *AWAY)

        # Clicking into the entry field shows the drawn caret blinking: once the prompt has cleared, the next
        # change on screen is the caret line.
        click(*entry.centre)
        wait_for(lambda: program.find(128, 128).child(94, 21).text == b"", 10, what="prompt cleared")
        program.wait_focus(entry)
        blinking = {w.rect[2:]: w.num("PngControl_Time") for w in program.windows()}
        assert blinking[(128, 128)] == 64 and not blinking[(295, 56)], f"caret-blink timers: {blinking}"
        shots = [region(Screenshot(), entry)]

        def changed():
            shots.append(region(Screenshot(), entry))
            return shots[-1] != shots[-2]
        wait_for(changed, 5, interval=0, what="the entry field to change: no blinking caret")
        columns = {i % entry.rect[2] for i, (p, q) in enumerate(zip(shots[-2], shots[-1])) if p != q}
        assert len(columns) <= 2, f"the change is not a caret line: columns {sorted(columns)}"

        # During a countdown 编辑框3 holds the strip's message, hidden: MainWindow's face, composed again since
        # (the clock has moved on), does not show it.
        type_text(time_ahead(600))  # never reached: the program is ended long before
        click(*start.centre)
        xdotool("mousemove", "--sync", *AWAY)
        holder, clock = main.child(72, 24), main.child(102, 32)
        wait_for(lambda: program.find(128, 128).child(72, 24).text.startswith(HEAD), 10,
                 what="the countdown message in 编辑框3")
        held = region(Screenshot(), clock)

        def clock_moved_on(shot):
            assert region(shot, clock) != held, "the clock has not moved on"
        during = wait_for_screen(clock_moved_on)
        assert region(during, holder) == region(before, holder), "编辑框3 shows on MainWindow's face"


run(test)
