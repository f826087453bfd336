"""The windows kept inside the work area: set in the running program as a taskbar sets it (SPI_SETWORKAREA,
announced with WM_SETTINGCHANGE), they move by the least that brings them inside, the strip over MainWindow's
top edge and the panel to its left; back at the whole screen they are where they always were."""

from e2elib import Program, probe, run, wait_for
from test_windows import ON_1024x768

MAIN, PANEL, STRIP = (128, 128), (250, 155), (295, 56)

CASES = [  # work area -> design size -> position
    ((0, 0, 964, 768), {MAIN: (836, 590), PANEL: (586, 580), STRIP: (844, 552)}),  # a taskbar 60 px wide, right
    ((0, 0, 1024, 688), {MAIN: (896, 560), PANEL: (646, 533), STRIP: (904, 522)}),  # a two-row taskbar
    ((0, 0, 1024, 768), ON_1024x768),
]


def places(program):
    return {w.rect[2:]: w.rect[:2] for w in program.windows()}


def test():
    with Program() as program:
        wait_for(lambda: (lambda main: main and main.child(102, 32).text.startswith(b"Now-"))(program.find(*MAIN)),
                 60, what="clock text")
        program.wait_windows(3)
        # Wine's work area on a bare screen is the whole screen: the windows are at their usual places.
        assert places(program) == ON_1024x768, places(program)
        for area, expected in CASES:
            left, top, right, bottom = area
            probe("workarea", *map(str, area), env=program.env)
            wait_for(lambda: places(program) == expected, 10, what=f"the places in the work area {area}")
            main, strip = program.find(*MAIN), program.find(*STRIP)
            x, y, w, h = main.rect
            assert left <= x and x + w <= right and top <= y and y + h <= bottom, f"{main} outside {area}"
            # The part of the strip that is on the screen at its usual place: its left 120 pixels.
            assert strip.rect[0] + 120 <= right, f"{strip} reaches past {area}"
        assert program.running()


if __name__ == "__main__":
    run(test)
