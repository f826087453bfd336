#!/usr/bin/env bash
# Runs shutdown_probe.exe (the real RequestSystemExit(PowerOff, true)) in a throw-away Wine prefix with a
# relay trace of ExitWindowsEx, and checks that exactly one call ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0)
# was made and that it ended the prefix's processes, the probe included.
# Usage: shutdown_call.sh PROBE_EXE PREFIX_DIR
set -u
probe=${1:?probe exe}
prefix=${2:?prefix dir}
here=$(cd "$(dirname "$0")" && pwd)
shared_prefix=$(cd "$here/../.." && pwd)/build/wineprefix

mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
if [ "$prefix" = "$shared_prefix" ] || [ "$prefix" = "${HOME:-/root}/.wine" ]; then
    echo "refusing to switch off a shared Wine prefix: $prefix" >&2
    exit 1
fi

wine=/usr/lib/wine/wine64
export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8

fail() {
    echo "FAIL: $*" >&2
    wineserver -k 2>/dev/null
    exit 1
}

# The prefix is made once (10-20 s) and kept for later runs.
if [ ! -f "$prefix/.offclock-relay-ready" ]; then
    "$wine" wineboot --init >/dev/null 2>&1 || fail "wineboot could not make the prefix"
    regfile="$prefix/relay.reg"
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Debug]\r\n"RelayInclude"="user32.ExitWindowsEx"\r\n' \
        >"$regfile"
    "$wine" regedit "Z:${regfile//\//\\}" >/dev/null 2>&1 || fail "could not import the relay setting"
    timeout 60 wineserver -w
    touch "$prefix/.offclock-relay-ready"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
OC_SHUTDOWN_PROBE_PREFIX=own WINEDEBUG=-all,+relay timeout 120 "$wine" "$probe" >"$work/out" 2>"$work/trace"
status=$?
timeout 60 wineserver -w || fail "the prefix's processes were still running a minute later"

cat "$work/out"
calls=$(grep -o 'Call user32\.ExitWindowsEx([^)]*)' "$work/trace")
echo "relay: ${calls:-<no call>}"
grep -q 'shutdown_probe: requesting' "$work/out" || fail "the probe did not run (exit status $status)"
[ "$calls" = "Call user32.ExitWindowsEx(0000000c,00000000)" ] ||
    fail "expected exactly one ExitWindowsEx(0000000c,00000000), got: ${calls:-none}"
if grep -q 'shutdown_probe: still running' "$work/out"; then
    fail "the probe outlived the power-off: the prefix's processes were not ended"
fi
echo "PASS: one forced power-off call, prefix ended (probe exit status $status)"
