"""Drives the real offclock.exe under Wine from outside: start it, read its windows with ocprobe.exe, click
and type with xdotool, take screenshots. Used by the test_*.py scripts (plain asserts; exit status 0 = pass).
"""

import contextlib
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

SOURCE = os.environ.get("OC_SOURCE_DIR") or os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
# win64 or win32: set by tools/wine.sh, which CTest runs these scripts through (--host).
ARCH = os.environ.get("OC_WINE_ARCH", "win64")
BUILD = os.environ.get("OC_BUILD_DIR") or os.path.join(SOURCE, "build", ARCH)
# The launcher: the environment (prefix, locale, screen) is its business; see tools/wine.sh.
WINE = [os.path.join(SOURCE, "tools", "wine.sh"), ARCH]
PROGRAM = os.path.join(BUILD, "offclock.exe")
PROBE = os.path.join(BUILD, "tests", "e2e", "ocprobe.exe")
SCREEN = os.path.join(SOURCE, "tools", "screen.sh")

MAIN_ELEMENT_SIZE = (128, 128)
# Under emulation (32-bit Wine through qemu) everything takes about five times longer: deadlines grow by this.
TIME_SCALE = float(os.environ.get("OC_TIME_SCALE") or 1)


def scaled(seconds):
    return seconds * TIME_SCALE


def wine_env(extra=None):
    """The environment for a Wine program: the caller's, with `extra` on top (WINEPREFIX, WINEDEBUG,
    WINEDLLOVERRIDES); what is not set, tools/wine.sh sets."""
    env = dict(os.environ)
    if extra:
        env.update(extra)
    return env


def gbk(text):
    return text.encode("gbk")


class Window:
    def __init__(self, kind, fields):
        self.kind = kind
        self.fields = fields
        self.children = []
        self.parent = None

    def __getattr__(self, name):
        fields = self.__dict__["fields"]
        if name in fields:
            return fields[name]
        raise AttributeError(name)

    def num(self, key, default=0):
        return int(self.fields.get(key, default))

    @property
    def hwnd(self):
        return self.num("hwnd")

    @property
    def rect(self):
        return (self.num("x"), self.num("y"), self.num("w"), self.num("h"))

    @property
    def centre(self):
        x, y, w, h = self.rect
        return (x + w // 2, y + h // 2)

    def child(self, width, height, index=0):
        """The index-th child of that design size, in reading order."""
        found = [c for c in self.children if c.rect[2:] == (width, height)]
        found.sort(key=lambda c: (c.rect[1], c.rect[0]))
        return found[index] if index < len(found) else None

    @property
    def text(self):
        return bytes.fromhex(self.fields.get("text", ""))

    def __repr__(self):
        if self.kind == "input":
            return f"<input {self.fields}>"
        return f"<{self.kind} {self.fields.get('class')} {self.rect} text={self.text!r}>"


def probe(*args, env=None, attempts=3):
    env = dict(env or wine_env())
    env["WINEDEBUG"] = "-all"  # a relay trace is for the program, never for the probe
    # A Wine process started while its prefix is still coming up can now and then wait forever for the
    # prefix's services; such a start is abandoned and made again.
    # The output goes to a file, not a pipe: a Wine process that the probe's start brings up (the desktop
    # process, when the prefix has none) inherits it and can keep it open long after the probe has ended,
    # and a reader waiting for the end of a pipe would wait for that process.
    for attempt in range(attempts):
        with tempfile.TemporaryFile() as out:
            try:
                subprocess.run([*WINE, PROBE, *args], stdout=out, stderr=subprocess.DEVNULL, env=env,
                               timeout=scaled(30))
            except subprocess.TimeoutExpired:
                if attempt == attempts - 1:
                    raise
                continue
            out.seek(0)
            return out.read().decode("latin-1")
    return ""


def dump(env=None):
    """The program's windows (class OffClockWindow) with their children, plus tooltips and dialogs."""
    windows, current = [], None
    for line in probe("dump", env=env).splitlines():
        parts = line.split("\t")
        if len(parts) < 2:
            continue
        fields = dict(p.split("=", 1) for p in parts[1:] if "=" in p)
        w = Window(parts[0], fields)
        if parts[0] == "child" and current is not None:
            w.parent = current
            current.children.append(w)
        else:
            windows.append(w)
            current = w
    return windows


def wait_for(predicate, timeout=30.0, interval=0.1, what="condition"):
    """Polls predicate until it returns something true and returns that; fails after timeout (scaled) seconds."""
    deadline = time.time() + scaled(timeout)
    last = None
    while time.time() < deadline:
        last = predicate()
        if last:
            return last
        time.sleep(interval)
    raise AssertionError(f"timed out waiting for {what}; last: {last!r}")


def comes_true(predicate, timeout, interval=0.1):
    """Whether predicate comes true within timeout (scaled) seconds: unlike wait_for, not coming true is an
    answer."""
    try:
        wait_for(predicate, timeout, interval)
        return True
    except AssertionError:
        return False


class Program:
    """One running offclock.exe."""

    def __init__(self, extra_env=None, args=(), stderr_path=None, program=PROGRAM):
        self.env = wine_env(extra_env)
        # The prefix's services come up first, with nothing racing them: a probe and the program starting
        # together in a prefix whose server has just ended can leave one of them waiting.
        probe("dump", env=self.env)
        self.stderr = open(stderr_path, "wb") if stderr_path else subprocess.DEVNULL
        self.process = subprocess.Popen([*WINE, program, *args], env=self.env, stdout=subprocess.DEVNULL,
                                        stderr=self.stderr)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.kill()

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(scaled(10))
        if self.stderr is not subprocess.DEVNULL:
            self.stderr.close()

    def exit_code(self, timeout=30):
        return self.process.wait(scaled(timeout))

    def running(self):
        return self.process.poll() is None

    def windows(self):
        return [w for w in dump(self.env) if w.kind == "window"]

    def windows_all(self):
        """The program's windows plus tooltip and dialog windows."""
        return [w for w in dump(self.env) if w.kind != "input"]

    def wait_windows(self, count=3, timeout=60):
        return wait_for(lambda: (lambda ws: ws if len(ws) >= count and all(w.num("visible") for w in ws) else None)(
            self.windows()), timeout, what=f"{count} visible windows")

    def input(self):
        """Where input goes: the foreground window; the program thread's focus and window in a move loop."""
        return next((w for w in dump(self.env) if w.kind == "input"), None)

    def wait_focus(self, control, timeout=10):
        """Waits until keys would reach control: its window in the foreground and the focus on it."""
        def focused():
            state = self.input()
            return state and (state.num("foreground"), state.num("focus")) == (control.parent.hwnd, control.hwnd)
        wait_for(focused, timeout, what=f"keyboard focus on {control}")

    def find(self, width, height, windows=None):
        """The window of the given design size (the three windows differ in size)."""
        for w in windows or self.windows():
            if w.rect[2:] == (width, height):
                return w
        return None


def switch_off_prefix():
    """A Wine prefix of the tests' own in which the program may really switch off: ExitWindowsEx ends that
    prefix's processes only. Relay tracing of ExitWindowsEx is on there, so the call can be read back."""
    prefix = own_prefix()
    end_prefix(prefix)
    restore_wineboot(prefix)
    # Bring the prefix's services up before the program starts, one process at a time.
    probe("dump", env=wine_env({"WINEPREFIX": prefix}))
    return prefix


WINEBOOT_SAVED = ".offclock-wineboot-saved"


def wineboots(prefix):
    return glob.glob(os.path.join(prefix, "drive_c", "windows", "sys*", "wineboot.exe"))


def restore_wineboot(prefix):
    """Puts back every wineboot.exe that wineboot_broken saved: a run killed inside that block (a timeout) skips
    its own restoring, and the prefix would refuse every later switch-off."""
    for path in wineboots(prefix):
        saved = os.path.join(os.path.dirname(path), WINEBOOT_SAVED)
        if os.path.exists(saved):
            os.replace(saved, path)
        with open(path, "rb") as f:
            assert f.read(2) == b"MZ", f"{path} is not a program: the prefix cannot switch off"


@contextlib.contextmanager
def wineboot_broken(prefix):
    """Wine's ExitWindowsEx starts the prefix's wineboot.exe and fails when that cannot run: with it overwritten
    by zeros the system refuses the switch-off for real. A copy is kept beside it until it is restored, here or
    when the prefix is next set up."""
    paths = wineboots(prefix)
    assert paths, "no wineboot.exe in the prefix"
    try:
        for path in paths:
            shutil.copyfile(path, os.path.join(os.path.dirname(path), WINEBOOT_SAVED))
            with open(path, "wb") as f:
                f.write(bytes(64))
        yield
    finally:
        restore_wineboot(prefix)


# The calls a relay trace in the tests' own prefix shows: the switch-off, and what keeps the machine awake during
# a countdown. A name without its module matches it in any module (kernel32 forwards some to kernelbase).
RELAY_INCLUDE = ("user32.ExitWindowsEx;SetThreadExecutionState;PowerCreateRequest;PowerSetRequest;PowerClearRequest;"
                 "SetWaitableTimer;CancelWaitableTimer")


def own_prefix():
    """The end-to-end tests' own prefix, which nothing else uses while they hold the screen. Made once (10-20 s,
    the launcher sets it up as every prefix) and kept; its stamp holds the relay setting, so that a prefix made
    with another one is brought up to date."""
    prefix = os.path.join(BUILD, "e2e-switch-off-prefix")
    ready = os.path.join(prefix, ".offclock-relay-ready")
    env = wine_env({"WINEPREFIX": prefix})
    if not os.path.exists(ready) or open(ready).read() != RELAY_INCLUDE:
        subprocess.run([*WINE, "--prefix"], env=env, check=True, timeout=scaled(300))
        reg = os.path.join(prefix, "relay.reg")
        with open(reg, "w", newline="") as f:
            f.write("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Debug]\r\n"
                    f'"RelayInclude"="{RELAY_INCLUDE}"\r\n')
        subprocess.run([*WINE, "regedit", "Z:" + reg.replace("/", "\\")], env=env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=scaled(120))
        subprocess.run([*WINE, "wineserver", "-w"], env=env, timeout=scaled(120))
        with open(ready, "w") as f:
            f.write(RELAY_INCLUDE)
    return prefix


@contextlib.contextmanager
def screen_of_size(width, height):
    """A screen of its own, an Xvfb of width x height (tools/screen.sh), and the environment that runs the
    program and the probe on it in the tests' own prefix. A prefix's desktop keeps the screen size it was
    started with, so the prefix is ended before and after: its next program brings it up on the screen given."""
    prefix = own_prefix()
    with tempfile.TemporaryDirectory() as folder:
        screen_file = os.path.join(folder, "screen.env")
        subprocess.run([SCREEN, "up", screen_file, f"{width}x{height}"], check=True, stdout=subprocess.DEVNULL,
                       timeout=scaled(30))
        try:
            end_prefix(prefix)
            yield {"OC_SCREEN_FILE": screen_file, "WINEPREFIX": prefix}
        finally:
            end_prefix(prefix)
            subprocess.run([SCREEN, "down", screen_file], stdout=subprocess.DEVNULL, timeout=30)


def end_prefix(prefix):
    """Ends whatever still runs in a prefix of the tests' own: after a switch-off its desktop process is gone
    and a program started before the prefix has wound down would wait for it."""
    env = wine_env({"WINEPREFIX": prefix})
    subprocess.run([*WINE, "wineserver", "-k"], env=env, capture_output=True, timeout=scaled(60))
    subprocess.run([*WINE, "wineserver", "-w"], env=env, capture_output=True, timeout=scaled(60))


def exit_windows_calls(trace_path):
    with open(trace_path, "rb") as f:
        trace = f.read().decode("latin-1")
    return re.findall(r"Call user32\.ExitWindowsEx\([^)]*\)", trace)


def awake_calls(trace_path):
    """What the relay trace shows of holding the machine awake and of the switch-off, in order, one word each:
    "hold" and "release" (the execution state: ES_SYSTEM_REQUIRED | ES_CONTINUOUS, then ES_CONTINUOUS alone),
    "request" (PowerCreateRequest), "arm" (the wake timer, with resume) and "cancel", "switch-off" (ExitWindowsEx)."""
    with open(trace_path, "rb") as f:
        trace = f.read().decode("latin-1")
    words = {"80000001": "hold", "80000000": "release"}
    calls = []
    for name, args in re.findall(r"Call [\w.-]+\.(\w+)\(([^)]*)\)", trace):
        if name == "SetThreadExecutionState":
            calls.append(words.get(args, f"execution state {args}"))
        elif name == "PowerCreateRequest":
            calls.append("request")
        elif name == "SetWaitableTimer":
            # The last argument is fResume, a BOOL: on x86_64 its register's upper half is left as it was.
            calls.append("arm" if int(args.split(",")[-1][-8:], 16) == 1 else f"arm without resume {args}")
        elif name == "CancelWaitableTimer":
            calls.append("cancel")
        elif name == "ExitWindowsEx":
            calls.append("switch-off")
    return calls


def xdotool(*args):
    subprocess.run(["xdotool", *[str(a) for a in args]], check=True, timeout=30)


def click(x, y, button=1):
    xdotool("mousemove", "--sync", x, y, "click", button)


def drag(program, x0, y0, x1, y1):
    """Presses at (x0, y0), moves to (x1, y1) and releases. The system's move loop takes its starting point
    from the cursor when it begins, so the motion waits for the loop; the release waits for the window to move."""
    def in_move_loop():
        found = dump(program.env)
        hwnd = next((w.num("movesize") for w in found if w.kind == "input"), 0)
        return next((w for w in found if hwnd and w.hwnd == hwnd), None)
    xdotool("mousemove", "--sync", x0, y0, "mousedown", 1)
    moving = wait_for(in_move_loop, 10, what="the move loop")
    xdotool("mousemove", "--sync", x1, y1)
    wait_for(lambda: any(w.hwnd == moving.hwnd and w.rect != moving.rect for w in program.windows()), 10,
             what="the window to move")
    xdotool("mouseup", 1)


def type_text(text):
    xdotool("type", "--delay", 80, text)


def type_into(program, box, text, read, attempts=3):
    """Types `text` into `box`, which has the focus, until read() gives it in GBK. xdotool types a character the
    keyboard map lacks (a full-width colon) by mapping a spare key to it for a moment; a program that reads the
    map late, as under emulation, may take another character from that key. Such a typing is cleared (WM_SETTEXT)
    and typed again; what the box does with the text is the test's, not the typing's."""
    for _ in range(attempts):
        type_text(text)
        if comes_true(lambda: read() == gbk(text), 10):
            return
        probe("settext", str(box.hwnd), "", env=program.env)
    raise AssertionError(f"typing {text!r} gave {read()!r} {attempts} times")


def key(name):
    xdotool("key", name)


class Screenshot:
    """The whole screen as RGB bytes, taken with ImageMagick's import."""

    def __init__(self, path=None):
        raw = subprocess.run(["import", "-silent", "-window", "root", "-depth", "8", "rgb:-"], capture_output=True,
                             check=True, timeout=30).stdout
        self.width, self.height = 1024, 768
        if len(raw) != self.width * self.height * 3:
            raise AssertionError(f"unexpected screenshot size {len(raw)}")
        self.raw = raw
        if path:
            subprocess.run(["import", "-silent", "-window", "root", path], check=True, timeout=30)

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.raw[i:i + 3])

    def region(self, x, y, w, h):
        return [self.pixel(px, py) for py in range(y, y + h) for px in range(x, x + w)
                if 0 <= px < self.width and 0 <= py < self.height]


def wait_for_screen(check, timeout=10):
    """Takes screenshots until check(shot) passes (it raises AssertionError until then); returns that shot."""
    def passes(shot):
        try:
            check(shot)
            return shot
        except AssertionError:
            return None
    try:
        return wait_for(lambda: passes(Screenshot()), timeout, what="the screen")
    except AssertionError:
        check(Screenshot())  # fails with what the check saw
        raise


def run(test):
    """Runs one test function and exits with its status."""
    try:
        test()
    except AssertionError as e:
        print(f"FAIL: {e}")
        sys.exit(1)
    print("PASS")
    sys.exit(0)
