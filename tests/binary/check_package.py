"""Makes the release zip with the package command of the built tree and checks what a user unpacks: the program,
the README and the usage note in Chinese, which Notepad must show as text (a UTF-8 byte-order mark, CR LF line
ends). Then that its bytes depend on nothing but the files' names and contents: entries in order, dated at the
commit's time, with fixed attributes, the same bytes from copies of the files with other dates and modes; and
that the packer refuses a missing file with a message naming it.
  check_package.py SOURCE_DIR ZIP_NAME PACKER... -- NAME=PATH..."""

import os
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

BOM = b"\xef\xbb\xbf"


def run_packer(packer, output, files, check=True):
    return subprocess.run(packer + [str(output)] + files, capture_output=True, text=True, timeout=120, check=check)


def expected_date_time(source):
    text = os.environ.get("SOURCE_DATE_EPOCH")
    if text is None:
        text = subprocess.run(["git", "-C", source, "log", "-1", "--format=%ct"], capture_output=True, text=True,
                              check=True).stdout
    seconds = int(text)
    return time.gmtime(seconds - seconds % 2)[:6]


def check_contents(package):
    with zipfile.ZipFile(package) as archive:
        names = archive.namelist()
        assert names == ["README-zh.txt", "README.md", "offclock.exe"], names
        note = archive.read("README-zh.txt")
    assert note.startswith(BOM), "the note has no UTF-8 byte-order mark: Notepad may read it in the ANSI code page"
    try:
        text = note[len(BOM):].decode("utf-8")
    except UnicodeDecodeError as e:
        raise AssertionError(f"the note is not UTF-8: {e}") from None
    assert text.count("\n") == text.count("\r\n") > 0, "the note has line ends other than CR LF"
    assert sum("\u4e00" <= c <= "\u9fff" for c in text) > 200, "the note is not in Chinese"
    for needed in ("offclock.exe", "22:30:00", "Esc", "强制", "certutil -hashfile", "SHA256SUMS", "sha256sum -c",
                   "产品版本"):
        assert needed in text, f"the note does not mention {needed}"
    return names, text


def check_fixed_attributes(package, date_time):
    with zipfile.ZipFile(package) as archive:
        for info in archive.infolist():
            assert info.date_time == date_time, f"{info.filename} is dated {info.date_time}, not at the commit"
            assert info.external_attr == 0o100644 << 16, f"{info.filename} has attributes {info.external_attr:o}"
            assert info.create_system == 3, f"{info.filename} says it was made on system {info.create_system}"
            assert info.compress_type == zipfile.ZIP_DEFLATED, f"{info.filename} is not deflated"
            assert info.extra == b"", f"{info.filename} carries extra fields (times, owners)"


def check_same_bytes_from_copies(packer, output, files, work):
    """Copies of the files, with another modification time and mode, make the same zip."""
    copies = []
    for n, entry in enumerate(files):
        name, _, path = entry.partition("=")
        copy = work / "copies" / str(n) / name
        copy.parent.mkdir(parents=True)
        shutil.copyfile(path, copy)
        os.utime(copy, (1000000000, 1000000000))
        copy.chmod(0o700)
        copies.append(f"{name}={copy}")
    again = work / "again" / output.name
    again.parent.mkdir()
    run_packer(packer, again, copies)
    assert again.read_bytes() == output.read_bytes(), "copies with other dates and modes give another zip"


def check_refuses_missing_file(packer, files, work):
    missing = work / "nothing-here.txt"
    output = work / "refused" / "refused.zip"
    output.parent.mkdir()
    result = run_packer(packer, output, files + [f"extra.txt={missing}"], check=False)
    assert result.returncode == 2, f"the packer took a missing file (status {result.returncode})"
    assert str(missing) in result.stderr, f"the packer's refusal does not name the file: {result.stderr!r}"
    assert not any(output.parent.iterdir()), "the packer left a file behind after refusing"


def main(source, zip_name, *rest):
    if "--" not in rest:
        raise AssertionError("usage: check_package.py SOURCE_DIR ZIP_NAME PACKER... -- NAME=PATH...")
    split = rest.index("--")
    packer, files = list(rest[:split]), list(rest[split + 1:])
    with tempfile.TemporaryDirectory() as out:
        work = Path(out)
        package = work / zip_name
        run_packer(packer, package, files)
        mask = os.umask(0)
        os.umask(mask)
        mode = package.stat().st_mode & 0o777
        assert mode == 0o666 & ~mask, f"the zip's mode is {mode:o}, not what the file mode mask {mask:o} allows"
        names, text = check_contents(package)
        check_fixed_attributes(package, expected_date_time(source))
        check_same_bytes_from_copies(packer, package, files, work)
        check_refuses_missing_file(packer, files, work)
    print(f"{zip_name}: {', '.join(names)}; note {len(text.splitlines())} lines")


try:
    main(*sys.argv[1:])
except AssertionError as e:
    print(f"FAIL: {e}")
    sys.exit(1)
except subprocess.CalledProcessError as e:
    print(f"FAIL: {' '.join(e.cmd)} ended with status {e.returncode}: {e.stderr}")
    sys.exit(1)
print("PASS")
