"""The three windows at their places on the other screen sizes people use most, 1366x768 and 1920x1080, each an
Xvfb of its own (the shared screen stays 1024x768, test_windows.py)."""

import time

from e2elib import Program, run, screen_of_size
from test_windows import check_places

PLACES = {  # screen -> design size -> position
    (1366, 768): {(128, 128): (1238, 590), (250, 155): (988, 580), (295, 56): (1246, 552)},
    (1920, 1080): {(128, 128): (1792, 902), (250, 155): (1542, 892), (295, 56): (1800, 864)},
}


def test():
    for (width, height), places in PLACES.items():
        began = time.monotonic()
        with screen_of_size(width, height) as env, Program(extra_env=env) as program:
            try:
                check_places(program, places)
            except AssertionError as e:
                raise AssertionError(f"on {width}x{height}: {e}") from None
        print(f"{width}x{height}: placed in {time.monotonic() - began:.1f} s")


run(test)
