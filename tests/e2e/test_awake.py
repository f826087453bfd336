"""Sleep and the countdown, on the real program in the tests' own prefix. The relay trace shows the machine held
awake from the start of each countdown to its end (Stop, a target long past, the close button, the switch-off)
and the wake timer armed for a distant target and cancelled with it. Under Wine the machine never sleeps, so a
sleep is simulated by freezing the program's process: continued before the target, the switch-off still comes
at the target; continued later than the late-tick grace past it, the countdown ends with "该时间早过去了" and no
switch-off. Wine makes no power request, so the execution state is what holds the machine here."""

import datetime
import os
import signal
import time

from e2elib import (BUILD, Program, awake_calls, click, end_prefix, exit_windows_calls, gbk, probe, run, scaled,
                    switch_off_prefix, type_text, wait_for)
from test_countdown import HEAD, TIME_PROMPT, controls, countdown_window, entry_text, focus_entry, strip_text, \
    time_ahead

PAST = gbk("该时间早过去了")
LATE_TICK_GRACE = 5
# A whole countdown as the trace shows it: the request Wine cannot make, the execution state held, the wake timer
# armed (only for a target further ahead than its lead), then all given back.
FAR = ["request", "hold", "arm", "release", "cancel"]
NEAR = ["request", "hold", "release"]


def children(pid):
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    if int(f.read().rsplit(")", 1)[1].split()[1]) == pid:
                        found.append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    return found


def program_process(program):
    """The Unix process that runs offclock.exe (under qemu for the i686 build): among the processes the launcher
    started, the one Wine named after the program."""
    def find():
        todo = [program.process.pid]
        while todo:
            pid = todo.pop()
            try:
                with open(f"/proc/{pid}/comm") as f:
                    if f.read().strip().lower() == "offclock.exe":
                        return pid
            except OSError:
                pass
            todo += children(pid)
        return None
    return wait_for(find, 10, what="the program's Unix process")


def sleep_until(moment, what):
    wait_for(lambda: datetime.datetime.now() >= moment, (moment - datetime.datetime.now()).total_seconds() + 5,
             interval=0.2, what=what)


def frozen_until(pid, moment):
    """The program stands still until `moment`, as a machine asleep does; its timers fire late after that."""
    os.kill(pid, signal.SIGSTOP)
    try:
        sleep_until(moment, "the end of the simulated sleep")
    finally:
        os.kill(pid, signal.SIGCONT)


def moment_of(target):
    return datetime.datetime.combine(datetime.date.today(), datetime.time.fromisoformat(target))


def start_countdown(program, entry, start, target):
    focus_entry(program, entry)
    type_text(target)
    click(*start.centre)
    wait_for(lambda: (strip_text(program) or b"").startswith(HEAD), 10, what="the countdown counting")


def seconds_shown(text):
    """The seconds left that a countdown message shows."""
    rest = text[len(HEAD):].decode("gbk")
    hours, rest = rest.split("小时:")
    minutes, rest = rest.split("分钟:")
    return int(hours) * 3600 + int(minutes) * 60 + int(rest.rstrip("秒"))


def test():
    prefix = switch_off_prefix()
    env = {"WINEPREFIX": prefix, "WINEDEBUG": "-all,+relay"}

    # Stop, a sleep past the target, and the close button.
    trace = os.path.join(BUILD, "e2e-awake-trace.txt")
    with Program(extra_env=env, stderr_path=trace) as program:
        program.wait_windows(3, timeout=90)
        entry, start, stop, close = controls(program)
        pid = program_process(program)

        start_countdown(program, entry, start, time_ahead(600))
        click(*stop.centre)
        wait_for(lambda: entry_text(program) == TIME_PROMPT, 5, what="the countdown ended by Stop")

        target = time_ahead(scaled(8))
        start_countdown(program, entry, start, target)
        frozen_until(pid, moment_of(target) + datetime.timedelta(seconds=LATE_TICK_GRACE + scaled(5)))
        wait_for(lambda: entry_text(program) == PAST, scaled(10), what="the target long past after the sleep")
        assert program.running(), "a countdown whose target passed during a sleep switched off"
        wait_for(lambda: countdown_window(program).num("visible") == 0, 5, what="the strip hidden")

        start_countdown(program, entry, start, time_ahead(600))
        click(*close.centre)
        assert program.exit_code(10) == 0
    end_prefix(prefix)
    calls = awake_calls(trace)
    assert calls == FAR + NEAR + FAR, calls

    # A sleep that ends before the target: the countdown goes on, shows the time as soon as the program is told
    # of the resume, and switches off at the target.
    trace = os.path.join(BUILD, "e2e-awake-switch-off-trace.txt")
    with Program(extra_env=env, stderr_path=trace) as program:
        program.wait_windows(3, timeout=90)
        entry, start, _, _ = controls(program)
        pid = program_process(program)
        main = program.find(128, 128)

        target = time_ahead(scaled(25))
        at = moment_of(target)
        start_countdown(program, entry, start, target)
        frozen_until(pid, at - datetime.timedelta(seconds=scaled(15)))
        probe("resume", str(main.hwnd), env=program.env)
        left = seconds_shown(strip_text(program))
        expected = (at - datetime.datetime.now()).total_seconds()
        assert expected - scaled(3) <= left <= expected + 1, f"{left} s shown, {expected:.1f} s left"
        wait_for(lambda: not program.running(), scaled(15) + 10, what="the switch-off at the target")
        ended = datetime.datetime.now()
        assert ended >= at - datetime.timedelta(seconds=2), f"switched off at {ended.time()}, target {target}"
    end_prefix(prefix)
    assert exit_windows_calls(trace) == ["Call user32.ExitWindowsEx(0000000c,80000000)"], exit_windows_calls(trace)
    # Held through the switch-off and given back as soon as it was asked for, if the prefix's end leaves the
    # program time for that. A target further ahead than the wake timer's lead (the i686 build's, under its
    # longer deadlines) arms it, and the resume, told once the moment is within the lead, cancels it.
    calls = awake_calls(trace)
    if calls[2:4] == ["arm", "cancel"]:
        del calls[2:4]
    assert calls[:3] == ["request", "hold", "switch-off"] and calls[3:] in ([], ["release"]), calls


if __name__ == "__main__":
    run(test)
