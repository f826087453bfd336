"""MainWindow's face shows what its controls hold, at once, as a user drives them: the caret after each typed
key, a selection deleted and brought back through the entry field's own context menu, a start button that
stays lit after a double click, and a bare-looking place under which the unseen countdown holder lies, by which
the face is dragged and where typing changes nothing."""

from e2elib import Program, Screenshot, click, drag, key, run, type_text, wait_for, xdotool
from test_countdown import controls, entry_text, focus_entry, time_ahead

BLACK = (0, 0, 0)


def interior(shot, entry):
    """The pixels inside the entry field's border."""
    x, y, w, h = entry.rect
    return shot.region(x + 2, y + 2, w - 4, h - 4)


def caret_column(shot, entry):
    """A column of at least ten black pixels inside the entry field: the caret line (the text is grey)."""
    x, y, w, h = entry.rect
    for px in range(x + 2, x + w - 2):
        if sum(shot.pixel(px, py) == BLACK for py in range(y + 1, y + h - 1)) >= 10:
            return px
    return None


def same_but_caret(a, b):
    """Two interiors alike but for the caret, which blinks."""
    return all(p == q or BLACK in (p, q) for p, q in zip(a, b))


def wait_interior(program, entry, like, what):
    # Within a second of the change (screenshots take a part of it).
    wait_for(lambda: same_but_caret(interior(Screenshot(), entry), like), 1.0, interval=0.05, what=what)


def context_command(program, entry, accelerator):
    """Right-click into the field and pick a command of its own menu by its accelerator key."""
    xdotool("mousemove", "--sync", *entry.centre)
    xdotool("click", 3)
    wait_for(lambda: program.input().num("menuowner"), 5, what="the context menu")
    key(accelerator)
    wait_for(lambda: not program.input().num("menuowner"), 5, what="the context menu closed")


def check_caret_after_each_key(program, entry):
    for digit in "2230":
        type_text(digit)
        shot = Screenshot()
        assert caret_column(shot, entry) is not None, f"no caret just after typing {digit}"


def check_context_menu_edits(program, entry, empty, typed, typed_look):
    """Select All, then Delete: the face's entry box is empty within a second; Undo brings the text back."""
    context_command(program, entry, "a")
    context_command(program, entry, "d")
    wait_for(lambda: entry_text(program) == b"", 5, what="the field emptied")
    wait_interior(program, entry, empty, "the face's entry box emptied")
    context_command(program, entry, "u")
    wait_for(lambda: entry_text(program) == typed, 5, what="the text back")
    wait_interior(program, entry, typed_look, "the text back on the face")


def test():
    with Program() as program:
        program.wait_windows(3)
        main = program.find(128, 128)
        entry, start, stop, _ = controls(program)
        wait_for(lambda: entry_text(program) is not None, 30, what="the entry field")
        focus_entry(program, entry)
        empty = interior(Screenshot(), entry)
        check_caret_after_each_key(program, entry)
        target = time_ahead(7200)
        xdotool("key", "--repeat", 4, "BackSpace")
        type_text(target)
        wait_for(lambda: entry_text(program) == target.encode(), 5, what="the target typed")
        check_context_menu_edits(program, entry, empty, target.encode(), interior(Screenshot(), entry))

        # A double click on the start button: lit while the pointer stays over it (judged below the rows the
        # strip may cover).
        x, y = start.centre[0], start.centre[1] + 8
        normal = Screenshot().pixel(x, y)
        xdotool("mousemove", "--sync", x, y)
        wait_for(lambda: Screenshot().pixel(x, y) != normal, 5, what="the lit start button")
        lit = Screenshot().pixel(x, y)
        xdotool("click", "--repeat", 2, "--delay", 60, 1)
        wait_for(lambda: Screenshot().pixel(x, y) == lit, 2, what="the start button lit after a double click")
        shots = [Screenshot().pixel(x, y) for _ in range(4)]
        assert all(p == lit for p in shots), f"the lit face went off under the pointer: {shots} vs {lit}"
        click(*stop.centre)  # also takes the focus off the entry field

        # The holder's place: bare to the eye, so the face is dragged by it, and typing there changes nothing.
        mx, my, _, _ = main.rect
        holder_at = (mx + 40, my + 108)
        click(*holder_at)
        type_text("99")
        before = program.find(128, 128)
        holder = next(c for c in before.children if c.rect[2:] == (72, 24))
        assert holder.text == b"" or b"99" not in holder.text, f"typing reached the holder: {holder.text!r}"
        assert b"99" not in entry_text(program), f"typing reached the entry field: {entry_text(program)!r}"
        drag(program, holder_at[0], holder_at[1], holder_at[0] - 60, holder_at[1] - 40)
        wait_for(lambda: program.find(128, 128).rect[:2] != before.rect[:2], 5,
                 what="MainWindow dragged by the holder's place")


if __name__ == "__main__":
    run(test)
