#!/usr/bin/env bash
# Checks a built offclock.exe without running it: a GUI-subsystem executable whose import table names only
# Windows system DLLs (no MinGW runtime DLL, and no GdiPlus.dll: GDI+ is bound at first use), which carries
# its texts as GBK bytes.
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

echo "imports: $(tr '\n' ' ' <<<"$dlls")"
[ $fail -eq 0 ] && echo "PASS" || echo "FAIL"
exit $fail
