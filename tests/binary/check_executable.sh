#!/usr/bin/env bash
# Checks a built offclock.exe without running it: a GUI-subsystem executable whose import table names only
# Windows system DLLs (no MinGW runtime DLL, and no GdiPlus.dll: GDI+ is bound at first use), which carries
# its texts as GBK bytes, and carries a version record and a manifest that asks for no elevation.
#   check_executable.sh OBJDUMP EXE
set -u
objdump=$1
exe=$2
fail=0

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
utf16() { printf '%s' "$1" | sed 's/./&\\x00/g'; }
has() { LC_ALL=C grep -q -a -P "$1" "$rsrc"; }
# VS_FIXEDFILEINFO: signature FEEF04BD, structure version 1.0, file version 1.0.0.0, product version 1.0.0.0.
has '\xBD\x04\xEF\xFE\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00' ||
    { echo "the version record does not say 1.0.0.0"; fail=1; }
for pair in "ProductName=OffClock" "CompanyName=OffClock" "OriginalFilename=offclock.exe" "FileVersion=1.0.0.0" \
    "ProductVersion=1.0.0.0"; do
    key=${pair%%=*} value=${pair#*=}
    # A string entry: the UTF-16 key, padding to 32 bits, the UTF-16 value.
    has "$(utf16 "$key")(\\x00\\x00)+$(utf16 "$value")\\x00\\x00" || { echo "version record lacks $key \"$value\""; fail=1; }
done
for key in FileDescription LegalCopyright; do
    has "$(utf16 "$key")" || { echo "version record lacks $key"; fail=1; }
done
has 'requestedExecutionLevel level="asInvoker" uiAccess="false"' ||
    { echo "the manifest does not ask to run as the invoker"; fail=1; }
[ "$(LC_ALL=C grep -a -o -P 'supportedOS Id=' "$rsrc" | wc -l)" -ge 4 ] ||
    { echo "the manifest does not name Windows 7, 8, 8.1 and 10"; fail=1; }

echo "imports: $(tr '\n' ' ' <<<"$dlls")"
[ $fail -eq 0 ] && echo "PASS" || echo "FAIL"
exit $fail
