"""The dressed program as a user meets it: layered MainWindow and CountdownWindow with their skinned
children, the translucent rounded face, the button faces, the clock in the text colour, hover faces and the
tooltip, and the drawn caret blinking in the entry field."""

import time

from e2elib import Program, Screenshot, click, gbk, run, wait_for, xdotool

WS_EX_TOPMOST = 0x8
WS_EX_LAYERED = 0x80000
MX, MY = 896, 590
START_CENTRE = (MX + 2 + 16, MY + 1 + 16)
STOP_CENTRE = (MX + 87 + 16, MY + 88 + 16)
CLOSE_BOX = (MX + 94, MY + 9, 16, 16)
ENTRY_BOX = (MX + 16, MY + 35, 94, 21)
CLOCK_BOX = (MX + 16, MY + 55, 102, 32)


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
        assert w.num("PngControl_Time") == 64, f"{w} has no caret-blink timer"
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
    return main


def region(shot, box):
    x, y, w, h = box
    return shot.region(x, y, w, h)


def check_face(shot):
    # Corners translucent or transparent over the black root window, the middle opaque (face F).
    for corner in [(MX, MY), (MX + 127, MY), (MX, MY + 127), (MX + 127, MY + 127)]:
        assert max(shot.pixel(*corner)) < 100, f"corner {corner} is {shot.pixel(*corner)}"
    assert min(shot.pixel(MX + 60, MY + 20)) > 200, f"middle is {shot.pixel(MX + 60, MY + 20)}"
    r, g, b = shot.pixel(*START_CENTRE)
    # The start face is grey with a light symbol, the stop face red.
    start = region(shot, (MX + 4, MY + 3, 28, 28))
    assert sum(1 for p in start if max(p) - min(p) < 30 and 60 < p[0] < 200) > 100, "no grey start face"
    stop = region(shot, (MX + 89, MY + 90, 28, 28))
    assert sum(1 for p in stop if p[0] > 150 and p[0] - p[1] > 80) > 100, "no red stop face"
    clock = region(shot, CLOCK_BOX)
    assert sum(1 for p in clock if is_text_colour(p)) > 40, "clock text not in the text colour"
    # CountdownWindow shows nothing before the first countdown: the strip above MainWindow stays black.
    strip = shot.region(904, 552, 120, 38)
    assert all(max(p) < 8 for p in strip), "CountdownWindow is not fully transparent"


def test():
    with Program() as program:
        check_structure(program)
        xdotool("mousemove", "--sync", 500, 100)
        time.sleep(1.5)
        before = Screenshot()
        check_face(before)

        # Hover on the start button: face B (pixels change) and the tooltip.
        xdotool("mousemove", "--sync", *START_CENTRE)
        time.sleep(0.3)
        xdotool("mousemove", "--sync", START_CENTRE[0] + 1, START_CENTRE[1] + 1)
        tips = wait_for(lambda: [w for w in program.windows_all() if w.kind == "tooltip" and w.num("visible")],
                        10, what="a visible tooltip")
        assert any(t.text == gbk("设置并启动定时关机") for t in tips), tips
        hover = Screenshot()
        start_box = (MX + 2, MY + 1, 32, 32)
        changed = sum(1 for a, b in zip(region(before, start_box), region(hover, start_box)) if a != b)
        assert changed > 50, f"start face did not change under the mouse ({changed} pixels)"

        # The close button: the same face in every state.
        xdotool("mousemove", "--sync", CLOSE_BOX[0] + 8, CLOSE_BOX[1] + 8)
        time.sleep(1.0)
        close_hover = Screenshot()
        assert region(close_hover, CLOSE_BOX) == region(before, CLOSE_BOX), "close face changed on hover"
        xdotool("mousemove", "--sync", 500, 100)

        # Clicking into the entry field shows the drawn caret blinking.
        click(ENTRY_BOX[0] + 40, ENTRY_BOX[1] + 10)
        time.sleep(0.8)
        shots = []
        for _ in range(6):
            shots.append(region(Screenshot(), ENTRY_BOX))
            time.sleep(0.25)
        differing = [i for i in range(1, len(shots)) if shots[i] != shots[i - 1]]
        assert differing, "the entry field never changed: no blinking caret"
        a, b = shots[differing[0] - 1], shots[differing[0]]
        columns = {i % ENTRY_BOX[2] for i, (p, q) in enumerate(zip(a, b)) if p != q}
        assert len(columns) <= 2, f"the change is not a caret line: columns {sorted(columns)}"


run(test)
