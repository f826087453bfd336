#!/usr/bin/env bash
# Runs shutdown_probe.exe (the real RequestSystemExit(PowerOff, true)) in a throw-away Wine prefix with a
# relay trace of ExitWindowsEx, and checks that exactly one call ExitWindowsEx(EWX_POWEROFF | EWX_FORCE,
# SHTDN_REASON_FLAG_PLANNED) was made and that it ended the prefix's processes, the probe included.
# Usage: shutdown_call.sh ARCH PROBE_EXE PREFIX_DIR   (ARCH: win64 or win32, as for tools/wine.sh)
set -u
arch=${1:?win64 or win32}
probe=${2:?probe exe}
prefix=${3:?prefix dir}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
wine=$root/tools/wine.sh
scale=${OC_TIME_SCALE:-1}

mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
case "$prefix" in
    "$root/build/wineprefix" | "$root/build/wineprefix32" | "${HOME:-/root}/.wine")
        echo "refusing to switch off a shared Wine prefix: $prefix" >&2
        exit 1
        ;;
esac
export WINEPREFIX=$prefix
unset WINEDEBUG

fail() {
    echo "FAIL: $*" >&2
    "$wine" "$arch" wineserver -k 2>/dev/null
    exit 1
}

# The prefix is made once (the launcher sets it up as every prefix) and kept for later runs.
if [ ! -f "$prefix/.offclock-relay-ready" ]; then
    "$wine" "$arch" --prefix || fail "the launcher could not make the prefix"
    regfile="$prefix/relay.reg"
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Debug]\r\n"RelayInclude"="user32.ExitWindowsEx"\r\n' \
        >"$regfile"
    "$wine" "$arch" regedit "Z:${regfile//\//\\}" >/dev/null 2>&1 || fail "could not import the relay setting"
    timeout $((60 * scale)) "$wine" "$arch" wineserver -w
    touch "$prefix/.offclock-relay-ready"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
OC_SHUTDOWN_PROBE_PREFIX=own WINEDEBUG=-all,+relay timeout $((120 * scale)) "$wine" "$arch" "$probe" \
    >"$work/out" 2>"$work/trace"
status=$?
timeout $((60 * scale)) "$wine" "$arch" wineserver -w ||
    fail "the prefix's processes were still running $((60 * scale)) seconds later"

cat "$work/out"
calls=$(grep -o 'Call user32\.ExitWindowsEx([^)]*)' "$work/trace")
echo "relay: ${calls:-<no call>}"
grep -q 'shutdown_probe: requesting' "$work/out" || fail "the probe did not run (exit status $status)"
[ "$calls" = "Call user32.ExitWindowsEx(0000000c,80000000)" ] ||
    fail "expected exactly one ExitWindowsEx(0000000c,80000000), got: ${calls:-none}"
if grep -q 'shutdown_probe: still running' "$work/out"; then
    fail "the probe outlived the power-off: the prefix's processes were not ended"
fi
echo "PASS: one forced power-off call, prefix ended (probe exit status $status)"
