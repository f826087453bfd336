"""Writes a zip whose bytes depend only on the names and contents of the files it holds, so that a release
rebuilt elsewhere, later, by someone else gives the same bytes: entries sorted by name, each dated at one time
(not when it was packed), with fixed attributes (a plain file, rw-r--r--, made on Unix), deflated at level 9,
and no extra fields.
  make_zip.py [--git SOURCE_DIR] OUTPUT NAME=PATH...
The time is SOURCE_DATE_EPOCH (seconds since 1970, UTC) when it is set, as in every reproducible build; else
the time of the last commit of SOURCE_DIR; else the newest modification time of the files."""

import os
import subprocess
import sys
import tempfile
import time
import zipfile

# Zip dates start in 1980 and are kept in two-second steps, in no time zone: UTC is written.
ZIP_EPOCH = 315532800
FILE_ATTRIBUTES = 0o100644 << 16
MADE_ON_UNIX = 3


class Refusal(Exception):
    pass


def parse_entries(args):
    entries = {}
    for arg in args:
        name, eq, path = arg.partition("=")
        if not eq or not name or not path:
            raise Refusal(f"'{arg}' is not NAME=PATH")
        if name in entries:
            raise Refusal(f"'{name}' is named twice")
        if name.startswith("/") or "\\" in name or ".." in name.split("/"):
            raise Refusal(f"'{name}' is not a plain relative name inside the zip")
        if not os.path.isfile(path):
            raise Refusal(f"{name}: no such file: {path}")
        entries[name] = path
    if not entries:
        raise Refusal("no files to pack")
    return sorted(entries.items())


def commit_time(source_dir):
    try:
        out = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"], capture_output=True,
                             text=True, timeout=60)
    except OSError:
        return None
    return int(out.stdout) if out.returncode == 0 and out.stdout.strip().isdigit() else None


def pack_time(source_dir, paths):
    text = os.environ.get("SOURCE_DATE_EPOCH")
    if text is not None:
        if not text.isdigit():
            raise Refusal(f"SOURCE_DATE_EPOCH is '{text}', not a number of seconds since 1970")
        seconds = int(text)
    else:
        seconds = commit_time(source_dir) if source_dir else None
        if seconds is None:
            seconds = int(max(os.path.getmtime(p) for p in paths))
    if seconds < ZIP_EPOCH:
        raise Refusal(f"the time {seconds} is before 1980, which a zip cannot hold")
    return time.gmtime(seconds)[:6]


def write_zip(output, entries, date_time):
    folder = os.path.dirname(os.path.abspath(output))
    # Written beside the target and renamed, so that a failed run leaves no half zip behind.
    handle, partial = tempfile.mkstemp(dir=folder, suffix=".partial")
    try:
        # mkstemp makes a file only its owner may read; the zip is for everyone the file mode mask allows.
        mask = os.umask(0)
        os.umask(mask)
        os.chmod(partial, 0o666 & ~mask)
        with os.fdopen(handle, "wb") as stream, zipfile.ZipFile(stream, "w") as archive:
            for name, path in entries:
                info = zipfile.ZipInfo(name, date_time)
                info.create_system = MADE_ON_UNIX
                info.external_attr = FILE_ATTRIBUTES
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(path, "rb") as source:
                    archive.writestr(info, source.read(), compresslevel=9)
        os.replace(partial, output)
    except BaseException:
        os.unlink(partial)
        raise


def main(argv):
    args = argv[1:]
    source_dir = None
    if args[:1] == ["--git"]:
        if len(args) < 2:
            raise Refusal("--git needs a folder")
        source_dir, args = args[1], args[2:]
    if len(args) < 2 or args[0].startswith("-"):
        raise Refusal("usage: make_zip.py [--git SOURCE_DIR] OUTPUT NAME=PATH...")
    output, entries = args[0], parse_entries(args[1:])
    write_zip(output, entries, pack_time(source_dir, [path for _, path in entries]))


if __name__ == "__main__":
    try:
        main(sys.argv)
    except Refusal as e:
        print(f"make_zip.py: {e}", file=sys.stderr)
        sys.exit(2)
