"""Makes the release zip with CPack from the built tree and checks what a user unpacks: the program, the README
and the usage note in Chinese, which Notepad must show as text (a UTF-8 byte-order mark, CR LF line ends).
  check_package.py CPACK BUILD_DIR"""

import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

BOM = b"\xef\xbb\xbf"


def main(cpack, build):
    with tempfile.TemporaryDirectory() as out:
        subprocess.run([cpack, "--config", str(Path(build) / "CPackConfig.cmake"), "-B", out], check=True,
                       stdout=subprocess.DEVNULL, timeout=300)
        packages = list(Path(out).glob("OffClock-*.zip"))
        assert len(packages) == 1, f"expected one zip, found {packages}"
        with zipfile.ZipFile(packages[0]) as package:
            names = sorted(package.namelist())
            assert names == ["README-zh.txt", "README.md", "offclock.exe"], names
            note = package.read("README-zh.txt")
    assert note.startswith(BOM), "the note has no UTF-8 byte-order mark: Notepad may read it in the ANSI code page"
    try:
        text = note[len(BOM):].decode("utf-8")
    except UnicodeDecodeError as e:
        raise AssertionError(f"the note is not UTF-8: {e}") from None
    assert text.count("\n") == text.count("\r\n") > 0, "the note has line ends other than CR LF"
    assert sum("\u4e00" <= c <= "\u9fff" for c in text) > 200, "the note is not in Chinese"
    for needed in ("offclock.exe", "22:30:00", "Esc", "强制"):
        assert needed in text, f"the note does not mention {needed}"
    print(f"{packages[0].name}: {', '.join(names)}; note {len(text.splitlines())} lines")


try:
    main(*sys.argv[1:])
except AssertionError as e:
    print(f"FAIL: {e}")
    sys.exit(1)
print("PASS")
