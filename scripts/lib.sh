# Shared set-up for scripts/run, scripts/test and scripts/bench (sourced). Idempotent: installs what is
# missing and makes the zh_CN.UTF-8 locale. How Wine is run (environment, prefixes, fonts) is tools/wine.sh's
# business; the i386 tree for 32-bit Wine is tools/i386/tree.sh's; the tests' screen is tools/screen.sh's.

OC_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OC_WINE=$OC_ROOT/tools/wine.sh
OC_PACKAGES="cmake ninja-build g++ googletest libgtest-dev zlib1g-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
  wine wine64 xvfb xauth x11-utils xdotool imagemagick locales fonts-wqy-microhei fonts-liberation python3
  clang clang-format libclang-rt-14-dev debootstrap debian-archive-keyring ca-certificates"

oc_log() { printf '== %s\n' "$*" >&2; }

oc_install_packages() {
    local missing=() p
    for p in $OC_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    oc_log "installing: ${missing[*]}"
    if [ "$(id -u)" -ne 0 ]; then echo "need root to install: ${missing[*]}" >&2; return 1; fi
    apt-get update -qq >/dev/null
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

oc_make_locale() {
    if ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf8$'; then
        oc_log "generating zh_CN.UTF-8"
        sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
        grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' >>/etc/locale.gen
        locale-gen >/dev/null
    fi
}

# The i386 tree in which the shipping 32-bit build runs under 32-bit Wine (a cache folder outside the clone,
# OC_I386_CACHE, default /var/cache/offclock/i386; about 5 minutes the first time).
oc_setup_i386() {
    "$OC_ROOT/tools/i386/tree.sh" ready && return 0
    oc_log "setting up the i386 tree for 32-bit Wine (${OC_I386_CACHE:-/var/cache/offclock/i386})"
    "$OC_ROOT/tools/i386/tree.sh" setup
}

# A screen for scripts/run and scripts/bench: $DISPLAY when it is usable, else an Xvfb of their own, stopped by
# oc_stop_screen. Sets OC_SCREEN_FILE for tools/wine.sh and exports DISPLAY; OC_XVFB_PID when it started one.
oc_start_screen() {
    export OC_SCREEN_FILE=$OC_ROOT/build/screen-$$.env
    mkdir -p "$OC_ROOT/build"
    "$OC_ROOT/tools/screen.sh" up "$OC_SCREEN_FILE" >/dev/null || return 1
    DISPLAY=$(sed -n 's/^DISPLAY=//p' "$OC_SCREEN_FILE")
    OC_XVFB_PID=$(sed -n 's/^PID=//p' "$OC_SCREEN_FILE")
    export DISPLAY
}

oc_stop_screen() {
    [ -n "${OC_SCREEN_FILE:-}" ] && "$OC_ROOT/tools/screen.sh" down "$OC_SCREEN_FILE" >/dev/null
    OC_XVFB_PID=
}

oc_setup() {
    oc_install_packages && oc_make_locale
}
