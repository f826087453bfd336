"""Measures the running offclock.exe from outside under Wine: start-up to the first presented frame of
MainWindow, CPU time idle and while counting down, and memory after start-up. Prints; judges nothing.
Run by scripts/bench, which gives it a screen and a Wine prefix of its own (so that the wineserver it reads
serves this program alone)."""

import os
import re
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "e2e"))
from e2elib import PROGRAM, WINE, Program, click, dump, type_text, wait_for, wine_env  # noqa: E402

MAIN = (896, 590)  # MainWindow's place on a 1024x768 screen
ENTRY = (MAIN[0] + 16 + 47, MAIN[1] + 35 + 10)
START = (MAIN[0] + 2 + 16, MAIN[1] + 1 + 16)
TICK = os.sysconf("SC_CLK_TCK")


def prefix_pids(prefix):
    """Processes of the Wine prefix: {pid: command name}."""
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
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK  # utime, stime


def private_kb(pid):
    total = {}
    with open(f"/proc/{pid}/smaps_rollup") as f:
        for line in f:
            m = re.match(r"(\w+):\s+(\d+) kB", line)
            if m:
                total[m.group(1)] = int(m.group(2))
    return total.get("Private_Clean", 0) + total.get("Private_Dirty", 0), total.get("Rss", 0)


def main_window_mapped():
    """True once a 128x128 X window is viewable: Wine maps a layered window only with its first frame."""
    tree = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True, text=True).stdout
    for m in re.finditer(r"^\s+(0x[0-9a-f]+) .*?(\d+)x(\d+)\+", tree, re.M):
        if (m.group(2), m.group(3)) == ("128", "128"):
            info = subprocess.run(["xwininfo", "-id", m.group(1)], capture_output=True, text=True).stdout
            if "IsViewable" in info:
                return True
    return False


def program_pid(prefix):
    for pid, cmd in prefix_pids(prefix).items():
        if "offclock.exe" in cmd:
            return pid
    return None


def measure_startup(prefix, runs):
    times = []
    for _ in range(runs):
        began = time.monotonic()
        with Program({"WINEPREFIX": prefix}):
            while not main_window_mapped():
                if time.monotonic() - began > 60:
                    raise SystemExit("MainWindow never appeared")
                time.sleep(0.005)
            times.append(time.monotonic() - began)
            time.sleep(0.5)
        time.sleep(0.5)
    return times


def cpu_share(prefix, pid, seconds):
    pids = prefix_pids(prefix)
    server = [p for p, cmd in pids.items() if "wineserver" in cmd]
    others = [p for p in pids if p != pid and p not in server]

    def sample():
        def total(ps):
            s = 0.0
            for p in ps:
                try:
                    s += cpu_seconds(p)
                except OSError:
                    pass
            return s
        return cpu_seconds(pid), total(server), total(others), time.monotonic()

    a = sample()
    time.sleep(seconds)
    b = sample()
    wall = b[3] - a[3]
    return tuple(100.0 * (b[i] - a[i]) / wall for i in range(3)) + (wall,)


def main():
    prefix = os.environ["WINEPREFIX"]
    seconds = float(os.environ.get("OC_BENCH_SECONDS", "60"))
    runs = int(os.environ.get("OC_BENCH_STARTS", "10"))
    rows = []

    # One start first, so that the prefix, the fonts and the disk caches are warm.
    measure_startup(prefix, 1)
    starts = measure_startup(prefix, runs)
    rows.append(("start-up to first MainWindow frame, median of %d" % runs, "%.0f ms" % (1000 * statistics.median(starts)),
                 "min %.0f, max %.0f ms" % (1000 * min(starts), 1000 * max(starts))))

    with Program({"WINEPREFIX": prefix}) as program:
        wait_for(main_window_mapped, 60, 0.05, "MainWindow")
        time.sleep(5)
        pid = program_pid(prefix)
        private, rss = private_kb(pid)
        rows.append(("memory after start-up (Linux private / RSS)", "%d KB" % private, "RSS %d KB" % rss))

        own, server, others, wall = cpu_share(prefix, pid, seconds)
        rows.append(("CPU idle, %.0f s: offclock.exe" % wall, "%.2f %%" % own,
                     "wineserver %.2f %%, other Wine processes %.2f %%" % (server, others)))

        later = time.localtime(time.time() + 3600)
        click(*ENTRY)
        time.sleep(0.5)
        type_text(time.strftime("%H:%M:%S", later))
        time.sleep(0.3)
        click(*START)
        env = wine_env({"WINEPREFIX": prefix})
        wait_for(lambda: any(w.rect[2:] == (295, 56) and w.num("visible") for w in dump(env) if w.kind == "window"),
                 15, 0.3, "CountdownWindow shown")
        time.sleep(3)
        own, server, others, wall = cpu_share(prefix, pid, seconds)
        rows.append(("CPU counting down, %.0f s: offclock.exe" % wall, "%.2f %%" % own,
                     "wineserver %.2f %%, other Wine processes %.2f %%" % (server, others)))

    for name, value, note in rows:
        print("%-50s %12s   %s" % (name, value, note))


if __name__ == "__main__":
    main()
