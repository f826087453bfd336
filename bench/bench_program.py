"""Measures running programs from outside under Wine: the floor (bench_floor.exe, a bare layered window that
presents one kept 128x128 frame a second), then each offclock.exe given: start-up to the first presented
frame of MainWindow, how late the clock's text changes after the start of the second it shows (watched from
another process in every timed start), memory after start-up, CPU idle and while counting down (entry field
not focused), as shares of one core for the program, the prefix's wineserver and the screen's Xvfb, and the
program's against the floor, and the messages its loop takes per second idle and counting down (from a relay
trace of GetMessage, in a run of its own). Prints; judges nothing. Run by scripts/bench, which gives it a screen and a Wine prefix of
its own (so that the wineserver it reads serves the measured program alone).

    bench_program.py NAME=PATH [NAME=PATH...]    e.g. after=build/win64/offclock.exe
"""

import os
import re
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from e2elib import BUILD, WINE, Program, click, probe, type_text, wait_for, wine_env  # noqa: E402
from test_countdown import controls, countdown_window, time_ahead  # noqa: E402

TICK = os.sysconf("SC_CLK_TCK")
FLOOR = os.path.join(BUILD, "bench", "bench_floor.exe")


def prefix_pids(prefix):
    """Processes of the Wine prefix: {pid: command line}."""
    found = {}
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/environ", "rb") as f:
                env = f.read().split(b"\0")
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                cmd = f.read().replace(b"\0", b" ").decode("latin-1")
        except OSError:
            continue
        if f"WINEPREFIX={prefix}".encode() in env:
            found[int(pid)] = cmd
    return found


def cpu_seconds(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
    except OSError:
        return 0.0
    return (int(fields[11]) + int(fields[12])) / TICK  # utime, stime


def private_kb(pid):
    total = {}
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            m = re.match(r"(\w+):\s+(\d+) kB", line)
            if m:
                total[m.group(1)] = int(m.group(2))
    return total.get("Private_Clean", 0) + total.get("Private_Dirty", 0), total.get("Rss", 0)


def window_mapped(size=(128, 128)):
    """True once an X window of `size` is viewable: Wine maps a layered window only with its first frame."""
    tree = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True, text=True).stdout
    for m in re.finditer(r"^\s+(0x[0-9a-f]+) .*?(\d+)x(\d+)\+", tree, re.M):
        if (int(m.group(2)), int(m.group(3))) == size:
            info = subprocess.run(["xwininfo", "-id", m.group(1)], capture_output=True, text=True).stdout
            if "IsViewable" in info:
                return True
    return False


def pid_of(prefix, name):
    """The Wine process running `name`: Wine names the process after the program (the launcher that started it
    carries the name in its command line too)."""
    for pid in prefix_pids(prefix):
        try:
            with open(f"/proc/{pid}/comm") as f:
                if f.read().strip() == name[:15]:
                    return pid
        except OSError:
            pass
    return None


def cpu_shares(prefix, pid, seconds):
    """Shares of one core over `seconds` of wall time: the program, the prefix's wineserver, the screen."""
    server = [p for p, cmd in prefix_pids(prefix).items() if "wineserver" in cmd]
    xvfb = [int(os.environ["OC_XVFB_PID"])] if os.environ.get("OC_XVFB_PID") else []

    def sample():
        return (cpu_seconds(pid), sum(map(cpu_seconds, server)), sum(map(cpu_seconds, xvfb)), time.monotonic())

    a = sample()
    time.sleep(seconds)
    b = sample()
    wall = b[3] - a[3]
    return {"program": 100 * (b[0] - a[0]) / wall, "wineserver": 100 * (b[1] - a[1]) / wall,
            "Xvfb": 100 * (b[2] - a[2]) / wall if xvfb else None}


def measure_floor(prefix, seconds):
    env = wine_env({"WINEPREFIX": prefix})
    process = subprocess.Popen([*WINE, FLOOR, str(int(seconds) + 60)], env=env, stdout=subprocess.DEVNULL)
    try:
        wait_for(window_mapped, 60, 0.05, "the floor's window")
        time.sleep(2)
        return cpu_shares(prefix, pid_of(prefix, "bench_floor.exe"), seconds)
    finally:
        process.kill()
        process.wait(10)
        wait_for(lambda: pid_of(prefix, "bench_floor.exe") is None, 30, 0.1, "the floor's end")


def clock_lateness(running, ms=3500):
    """How many ms after the start of its second each change of the clock's text was seen, polled from another
    process for `ms` milliseconds."""
    main = wait_for(lambda: running.find(128, 128), 30, 0.1, "MainWindow")
    clock = main.child(102, 32)
    return [int(line) for line in probe("watchclock", str(clock.hwnd), str(ms), env=running.env).split()]


def measure_startup(prefix, program, runs, lateness=None):
    """Start-up times; with a list for `lateness`, the latest change of the clock after its second in each start."""
    times = []
    for _ in range(runs):
        began = time.monotonic()
        with Program({"WINEPREFIX": prefix}, program=program) as running:
            while not window_mapped():
                if time.monotonic() - began > 60:
                    raise SystemExit("MainWindow never appeared")
                time.sleep(0.005)
            times.append(time.monotonic() - began)
            if lateness is not None:
                late = clock_lateness(running)
                lateness.append(max(late) if late else None)
            time.sleep(0.5)
        time.sleep(0.5)
    return times


def start_countdown(running):
    """A countdown an hour ahead, typed and started as a user would; then the focus leaves the entry field (a
    click on the web panel), as it does when the user goes on with other work. Says where the focus is."""
    entry, start, _, _ = controls(running)
    click(*entry.centre)
    running.wait_focus(entry)
    type_text(time_ahead(3600))
    click(*start.centre)
    wait_for(lambda: (lambda w: w and w.num("visible"))(countdown_window(running)), 15, 0.3, "CountdownWindow")
    panel = next((w for w in running.windows() if w.rect[2:] not in ((128, 128), (295, 56))), None)
    if panel:
        click(panel.rect[0] + panel.rect[2] // 2, panel.rect[1] + panel.rect[3] // 2)
    state = running.input()
    return "entry field focused" if state and state.num("focus") == entry.hwnd else "entry field not focused"


GETMESSAGE_RET = re.compile(rb"Ret\s+user32\.GetMessage[AW]\(")


def messages_per_second(prefix, program, seconds=20):
    """Messages the program's loop takes per second, idle and counting down: a relay trace of GetMessageA/W
    prints one Ret line per message taken."""
    env = wine_env({"WINEPREFIX": prefix})
    subprocess.run([*WINE, "reg", "add", r"HKCU\Software\Wine\Debug", "/v", "RelayInclude", "/d",
                    "user32.GetMessageA;user32.GetMessageW", "/f"], env=env, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True)
    trace = os.path.join(BUILD, "bench-getmessage.trace")

    def count():
        with open(trace, "rb") as f:
            return len(GETMESSAGE_RET.findall(f.read()))

    def rate():
        a, t = count(), time.monotonic()
        time.sleep(seconds)
        return (count() - a) / (time.monotonic() - t)

    found = {}
    with Program({"WINEPREFIX": prefix, "WINEDEBUG": "-all,+relay"}, program=program, stderr_path=trace) as running:
        running.wait_windows(3)
        time.sleep(5)
        found["idle"] = rate()
        start_countdown(running)
        time.sleep(3)
        found["counting down"] = rate()
    os.remove(trace)
    return found


def measure_program(prefix, program, seconds, starts):
    """{row: value} for one offclock.exe."""
    found = {}
    measure_startup(prefix, program, 1)  # the prefix, the fonts and the disk caches warm
    lateness = []
    times = measure_startup(prefix, program, starts, lateness)
    found["clock lateness"] = lateness
    found["start-up"] = "%.0f ms (%.0f-%.0f)" % (1000 * statistics.median(times), 1000 * min(times), 1000 * max(times))
    with Program({"WINEPREFIX": prefix}, program=program) as running:
        running.wait_windows(3)
        time.sleep(5)
        pid = pid_of(prefix, os.path.basename(program))
        private, rss = private_kb(pid)
        found["memory"] = "%d KB private, %d KB RSS" % (private, rss)
        found["idle"] = cpu_shares(prefix, pid, seconds)

        found["focus"] = start_countdown(running)
        time.sleep(3)
        found["counting down"] = cpu_shares(prefix, pid, seconds)
    found["messages"] = messages_per_second(prefix, program)
    return found


def share_text(shares, floor=None, floors=1):
    text = "%5.2f %%" % shares["program"]
    if floor:
        text += " (%4.2f x %s)" % (shares["program"] / (floors * floor["program"]), "floor" if floors == 1 else
                                   "%d x floor" % floors)
    text += "   wineserver %4.2f %%" % shares["wineserver"]
    if shares["Xvfb"] is not None:
        text += "   Xvfb %4.2f %%" % shares["Xvfb"]
    return text


def main():
    prefix = os.environ["WINEPREFIX"]
    seconds = float(os.environ.get("OC_BENCH_SECONDS", "60"))
    starts = int(os.environ.get("OC_BENCH_STARTS", "10"))
    programs = [arg.split("=", 1) for arg in sys.argv[1:]] or [("offclock.exe", os.path.join(BUILD, "offclock.exe"))]

    floor = measure_floor(prefix, seconds)
    print("CPU over %.0f s as a share of one core (program, the prefix's wineserver, the screen's Xvfb)" % seconds)
    print("  %-28s %s" % ("floor: bare ULW once a second", share_text(floor)))
    results = [(name, measure_program(prefix, path, seconds, starts)) for name, path in programs]
    for name, found in results:
        print("  %-28s %s" % (name + ", idle", share_text(found["idle"], floor)))
        print("  %-28s %s   (%s)" % (name + ", counting down", share_text(found["counting down"], floor, 2),
                                     found["focus"]))
    print()
    for name, found in results:
        print("%-30s start-up to the first MainWindow frame, median of %d warm starts: %s" % (name, starts,
                                                                                              found["start-up"]))
        print("%-30s memory after start-up: %s" % (name, found["memory"]))
        print("%-30s clock text changes after the start of its second, latest in each start (ms): %s" % (
            name, " ".join("-" if ms is None else str(ms) for ms in found["clock lateness"])))
        print("%-30s messages the loop takes per second: idle %.2f, counting down %.2f" % (
            name, found["messages"]["idle"], found["messages"]["counting down"]))


if __name__ == "__main__":
    main()
