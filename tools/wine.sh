#!/usr/bin/env bash
# The one place that says how the project runs Windows programs under Wine.
#
#   wine.sh ARCH PROGRAM.exe [ARGS...]   run a Windows program (its exit status is this script's)
#   wine.sh ARCH TOOL [ARGS...]          a Wine program by name: wineboot, regedit, reg, winecfg, ...
#   wine.sh ARCH wineserver -k|-w        end / wait for the processes of the prefix
#   wine.sh ARCH --prefix                make the prefix ready (done anyway before anything runs in it)
#   wine.sh ARCH --session               make the prefix ready and keep its server and services up until --end
#                                        (the tests' fixture: a program then starts without booting the prefix)
#   wine.sh ARCH --end [PREFIX...]       end whatever runs in the prefix and in the PREFIXes given
#   wine.sh ARCH --host CMD [ARGS...]    run a Linux command with this environment (DISPLAY, WINEPREFIX, ...)
#
# ARCH is win64 (64-bit Wine) or win32 (32-bit Wine in the i386 tree, tools/i386/tree.sh, through qemu).
# The environment: LANG and LC_ALL zh_CN.UTF-8 (code page 936, GBK) always; these from the caller's environment
# when set, else the defaults:
#   WINEPREFIX        build/wineprefix (win64), build/wineprefix32 (win32)
#   WINEDEBUG         -all
#   WINEDLLOVERRIDES  mscoree,mshtml=   (no Mono or Gecko installer)
#   DISPLAY           the display named in OC_SCREEN_FILE when that file exists (the tests' screen, written
#                     by tools/screen.sh), else the caller's
# A prefix is made on first use, and set up as a Chinese Windows has it: Arial is replaced by Liberation Sans,
# and WenQuanYi Micro Hei is linked behind the Latin faces, so that Chinese text in Arial shows real glyphs.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)

arch=${1:-}
case "$arch" in
    win64) default_prefix=$root/build/wineprefix ;;
    win32) default_prefix=$root/build/wineprefix32 ;;
    *) sed -n '2,22p' "$0" >&2; exit 2 ;;
esac
shift
[ $# -gt 0 ] || { echo "wine.sh: nothing to run" >&2; exit 2; }

export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
export WINEPREFIX=${WINEPREFIX:-$default_prefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -n "${OC_SCREEN_FILE:-}" ] && [ -f "$OC_SCREEN_FILE" ]; then
    DISPLAY=$(sed -n 's/^DISPLAY=//p' "$OC_SCREEN_FILE")
    export DISPLAY
fi
export OC_WINE_ARCH=$arch

# Runs a Wine binary (wine loader or wineserver) with the environment above.
wine_run() {
    local what=$1
    shift
    if [ "$arch" = win64 ]; then
        case "$what" in
            wine) exec /usr/lib/wine/wine64 "$@" ;;
            wineserver) exec wineserver "$@" ;;
        esac
    fi
    local tree=$here/i386/tree.sh
    "$tree" ready || { echo "wine.sh: the i386 tree is not set up (run: $tree setup)" >&2; exit 2; }
    exec "$tree" enter env HOME=/root USER=root PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin \
        LD_PRELOAD=/opt/offclock/libfixtrap.so "/usr/bin/$what" "$@"
}

# The registry a Chinese Windows has, for every prefix of the project (written once, here). REG_MULTI_SZ
# values are hex(7) UTF-16 strings, which only a "Version 5.00" file read as UTF-16 carries intact.
multi_sz() { # the hex(7) bytes of one string followed by the list's end
    printf '%s\0\0' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ' ' |
        sed 's/^ //; s/ $//; s/ /,/g'
}
registry() {
    local link face
    link=$(multi_sz "wqy-microhei.ttc,WenQuanYi Micro Hei")
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"Arial"="Liberation Sans"\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
    for face in "Arial" "Liberation Sans" "Tahoma" "Microsoft Sans Serif" "Segoe UI"; do
        printf '"%s"=hex(7):%s\r\n' "$face" "$link"
    done
}

# Makes $WINEPREFIX ready once: wineboot, then the registry above. The stamp holds the registry's checksum,
# so a prefix made before a change to it is brought up to date.
prepare_prefix() {
    local stamp=$WINEPREFIX/.offclock-ready reg sum
    reg=$(registry)
    sum=$(md5sum <<<"$reg" | cut -d' ' -f1)
    [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$sum" ] && return 0
    mkdir -p "$WINEPREFIX"
    exec 8>"$WINEPREFIX/.offclock-lock"
    flock 8 # tests run two at a time: the second waits for the first to make the prefix
    if ! { [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$sum" ]; }; then
        echo "wine.sh: making the $arch prefix $WINEPREFIX" >&2
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            (WINEARCH=$arch WINEDEBUG=-all wine_run wine wineboot --init) >/dev/null 2>&1 ||
                { echo "wine.sh: wineboot failed in $WINEPREFIX" >&2; exit 1; }
        fi
        printf '%s\r\n' "$reg" | iconv -f UTF-8 -t UTF-16 >"$WINEPREFIX/offclock.reg"
        (WINEDEBUG=-all wine_run wine regedit "Z:${WINEPREFIX//\//\\}\\offclock.reg") >/dev/null 2>&1 ||
            { echo "wine.sh: importing the registry failed in $WINEPREFIX" >&2; exit 1; }
        (wine_run wineserver -w) || true
        echo "$sum" >"$stamp"
    fi
    exec 8>&-
}

# Ends the processes of each prefix that exists and has a server running (wineserver -k starts none).
end_prefixes() {
    local p status=0
    for p in "$WINEPREFIX" "$@"; do
        [ -f "$p/system.reg" ] || continue
        (WINEPREFIX=$p wine_run wineserver -k) 2>/dev/null || true # none running
        (WINEPREFIX=$p wine_run wineserver -w) || status=1
    done
    return $status
}

# A persistent server (-p) also keeps the prefix's services and desktop running between programs: under
# emulation, booting them again for each program costs half a minute.
start_session() {
    prepare_prefix
    (wine_run wineserver -p) </dev/null >/dev/null 2>&1 || true # it runs already: fine
    (wine_run wine wineboot) </dev/null >/dev/null 2>&1
}

case "$1" in
    --prefix) prepare_prefix ;;
    --session) start_session ;;
    --end) shift; end_prefixes "$@" ;;
    --host)
        shift
        exec "$@"
        ;;
    wineserver) shift; wine_run wineserver "$@" ;;
    *)
        prepare_prefix
        wine_run wine "$@"
        ;;
esac
