#!/usr/bin/env bash
# Runs one Windows test program under 64-bit Wine. scripts/test prepares the prefix and the screen and
# exports them; when run by hand without them, the project's default prefix is used.
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
exec /usr/lib/wine/wine64 "$@"
