#!/usr/bin/env bash
# Checks a built offclock.exe without running it: a GUI-subsystem executable whose import table names only
# Windows system DLLs (no MinGW runtime DLL, and no GdiPlus.dll: GDI+ is bound at first use), which carries
# its texts as GBK bytes, and carries a version record that names the commit it was built from and a manifest
# that asks for no elevation.
#   check_executable.sh OBJDUMP EXE [SOURCE_DIR [REVISION]]
# With SOURCE_DIR the record must name that checkout's commit (HEAD, "-dirty" when tracked files differ from it,
# "unknown" when it is no Git checkout), or REVISION when the build was given one.
set -u
[ $# -ge 2 ] && [ $# -le 4 ] || { echo "usage: check_executable.sh OBJDUMP EXE [SOURCE_DIR [REVISION]]"; exit 2; }
objdump=$1
exe=$2
source_dir=${3:-}
revision=${4:-}
fail=0
[ -f "$exe" ] || { echo "no such file: $exe"; exit 1; }

headers=$("$objdump" -p "$exe") || { echo "cannot read $exe"; exit 1; }

subsystem=$(grep -E '^Subsystem' <<<"$headers" | awk '{print $2}')
[ "$subsystem" = "00000002" ] || { echo "subsystem is $subsystem, expected 2 (Windows GUI)"; fail=1; }

allowed='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|comctl32|msvcrt|shell32|shlwapi|uuid|api-ms-win-crt-[a-z0-9-]+)\.dll$'
dlls=$(grep -E 'DLL Name:' <<<"$headers" | awk '{print tolower($3)}' | sort -u)
[ -n "$dlls" ] || { echo "no import table found"; fail=1; }
for dll in $dlls; do
    if ! [[ $dll =~ $allowed ]]; then
        echo "imports a DLL that is not a Windows system DLL: $dll"
        fail=1
    fi
done
if grep -qi 'gdiplus' <<<"$dlls"; then
    echo "imports GdiPlus.dll at load time"
    fail=1
fi

# "时间格式00:00:00" in GBK: CA B1 BC E4 B8 F1 CA BD.
if ! LC_ALL=C grep -q -a -P '\xCA\xB1\xBC\xE4\xB8\xF1\xCA\xBD00:00:00' "$exe"; then
    echo "the prompt text is not stored as GBK bytes"
    fail=1
fi

# Resources by (type, id), from the directory tree that objdump prints: 16 = RT_VERSION, 24 = RT_MANIFEST.
resources=$(awk '
    /^[0-9a-f]+   Entry: ID: / { type = $4 }
    /^[0-9a-f]+     Entry: ID: / { print type "/" $4 }' <<<"$headers")
grep -qx '0x000010,/0x000001,' <<<"$resources" || { echo "no version resource (RT_VERSION, id 1)"; fail=1; }
grep -qx '0x000018,/0x000001,' <<<"$resources" || { echo "no manifest resource (RT_MANIFEST, id 1)"; fail=1; }

# The contents, read from the resource section alone.
rsrc=$(mktemp)
trap 'rm -f "$rsrc"' EXIT
"${objdump%objdump}objcopy" -O binary -j .rsrc "$exe" "$rsrc" 2>/dev/null || : >"$rsrc"
# A text as a pattern of its UTF-16 bytes (ASCII only), each byte escaped, so that "(" or "." match themselves.
utf16() { printf '%s' "$1" | od -An -v -tx1 | tr -s ' \n' '\n\n' | sed '/^$/d; s/.*/\\x&\\x00/' | tr -d '\n'; }
has() { LC_ALL=C grep -q -a -P "$1" "$rsrc"; }
# VS_FIXEDFILEINFO: signature FEEF04BD, structure version 1.0, file version 1.0.0.0, product version 1.0.0.0.
has '\xBD\x04\xEF\xFE\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00' ||
    { echo "the version record does not say 1.0.0.0"; fail=1; }
for pair in "ProductName=OffClock" "CompanyName=OffClock" "OriginalFilename=offclock.exe" "FileVersion=1.0.0.0"; do
    key=${pair%%=*} value=${pair#*=}
    # A string entry: the UTF-16 key, padding to 32 bits, the UTF-16 value.
    has "$(utf16 "$key")(\\x00\\x00)+$(utf16 "$value")\\x00\\x00" || { echo "version record lacks $key \"$value\""; fail=1; }
done
has "$(utf16 ProductVersion)(\\x00\\x00)+$(utf16 "1.0.0.0 (commit ")[^\\x00]\\x00" ||
    { echo "version record's ProductVersion is not \"1.0.0.0 (commit ...)\""; fail=1; }
for key in FileDescription LegalCopyright; do
    has "$(utf16 "$key")" || { echo "version record lacks $key"; fail=1; }
done

# The commit, read from the checkout as the build reads it (cmake/source_revision.cmake): in full as the
# record's SourceRevision, and as Git shortens it in a log in the product version that Explorer shows.
if [ -n "$source_dir" ] && [ -z "$revision" ]; then
    revision=unknown
    top=$(git -C "$source_dir" rev-parse --show-toplevel 2>/dev/null)
    if [ -n "$top" ] && [ "$(realpath "$top")" = "$(realpath "$source_dir")" ] &&
        head=$(git -C "$source_dir" rev-parse --verify -q HEAD); then
        revision=$head
        [ -z "$(git --no-optional-locks -C "$source_dir" status --porcelain --untracked-files=no)" ] ||
            revision+=-dirty
    fi
fi
if [ -n "$revision" ]; then
    short=$(sed -E 's/^([0-9a-f]{12})[0-9a-f]*/\1/' <<<"$revision")
    for pair in "SourceRevision=$revision" "ProductVersion=1.0.0.0 (commit $short)"; do
        key=${pair%%=*} value=${pair#*=}
        has "$(utf16 "$key")(\\x00\\x00)+$(utf16 "$value")\\x00\\x00" ||
            { echo "version record lacks $key \"$value\" (the commit of the checkout)"; fail=1; }
    done
fi
has 'requestedExecutionLevel level="asInvoker" uiAccess="false"' ||
    { echo "the manifest does not ask to run as the invoker"; fail=1; }
[ "$(LC_ALL=C grep -a -o -P 'supportedOS Id=' "$rsrc" | wc -l)" -ge 4 ] ||
    { echo "the manifest does not name Windows 7, 8, 8.1 and 10"; fail=1; }

echo "imports: $(tr '\n' ' ' <<<"$dlls")"
[ $fail -eq 0 ] && echo "PASS" || echo "FAIL"
exit $fail
