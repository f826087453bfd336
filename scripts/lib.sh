# Shared set-up for scripts/run and scripts/test (sourced). Idempotent: installs what is missing, makes the
# zh_CN.UTF-8 locale, and creates the project's Wine prefix under build/.

OC_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
OC_PACKAGES="cmake ninja-build g++ googletest libgtest-dev zlib1g-dev g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64
  wine wine64 xvfb xauth x11-utils xdotool imagemagick locales fonts-wqy-microhei fonts-liberation python3
  clang libclang-rt-14-dev"

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

oc_wine_env() {
    export WINEPREFIX=${WINEPREFIX:-$OC_ROOT/build/wineprefix}
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8
    export WINE64=/usr/lib/wine/wine64
}

# Creates the prefix once; Arial maps to Liberation Sans there, as every Windows system has Arial.
oc_make_prefix() {
    oc_wine_env
    if [ ! -f "$WINEPREFIX/.offclock-ready" ]; then
        oc_log "creating Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$WINE64" wineboot -i >/dev/null 2>&1
        local reg="$WINEPREFIX/offclock.reg"
        printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n"Arial"="Liberation Sans"\r\n' >"$reg"
        "$WINE64" regedit "$reg" >/dev/null 2>&1
        WINEPREFIX=$WINEPREFIX wineserver -w
        touch "$WINEPREFIX/.offclock-ready"
    fi
}

# Starts Xvfb on a free display unless DISPLAY is already usable; sets OC_XVFB_PID when it started one.
oc_start_screen() {
    OC_XVFB_PID=
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
    local n=90
    while [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    OC_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "Xvfb did not start" >&2
    return 1
}

oc_stop_screen() {
    [ -n "${OC_XVFB_PID:-}" ] && kill "$OC_XVFB_PID" 2>/dev/null && wait "$OC_XVFB_PID" 2>/dev/null
    OC_XVFB_PID=
}

oc_setup() {
    oc_install_packages && oc_make_locale && oc_make_prefix
}
