#!/usr/bin/env bash
# The tests' screen (a CTest fixture). CTest cannot hand one test's environment to another, so the display is
# written to a file that tools/wine.sh reads (OC_SCREEN_FILE).
#   screen.sh up FILE     use $DISPLAY when it is usable, else start Xvfb (1024x768x24) on a display it finds free
#   screen.sh up FILE WxH start an Xvfb of that size on a free display: a screen of the caller's own
#   screen.sh down FILE   stop the Xvfb that `up` started, if it started one, and remove FILE
set -uo pipefail
action=${1:-}
file=${2:-}
size=${3:-}
[ -n "$file" ] || { sed -n '2,6p' "$0" >&2; exit 2; }
[ -z "$size" ] || [[ $size =~ ^[1-9][0-9]{1,4}x[1-9][0-9]{1,4}$ ]] || { echo "screen: bad size '$size'" >&2; exit 2; }

usable() { DISPLAY=$1 xdpyinfo >/dev/null 2>&1; }

# The Xvfb of a file written by `up`, if it is still that Xvfb.
our_xvfb() {
    local pid display
    pid=$(sed -n 's/^PID=//p' "$file" 2>/dev/null)
    display=$(sed -n 's/^DISPLAY=//p' "$file" 2>/dev/null)
    [ -n "$pid" ] && [ -n "$display" ] && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "^Xvfb " && echo "$pid"
}

case "$action" in
up)
    if [ -z "$size" ]; then
        if [ -f "$file" ] && [ -n "$(our_xvfb)" ] && usable "$(sed -n 's/^DISPLAY=//p' "$file")"; then
            exit 0 # left by a run that ended without its clean-up: reuse it, the next clean-up stops it
        fi
        if [ -n "${DISPLAY:-}" ] && usable "$DISPLAY"; then
            printf 'DISPLAY=%s\nPID=\n' "$DISPLAY" >"$file"
            echo "screen: using $DISPLAY"
            exit 0
        fi
    fi
    # The server picks a free display itself and names it once it listens (-displayfd): two screens started at
    # once, as the two Windows presets' tests do, never share one. Detached, with no pipe of CTest's held open:
    # the test ends while the screen stays up.
    named=$(mktemp)
    setsid Xvfb -displayfd 3 -screen 0 "${size:-1024x768}x24" -nolisten tcp 3>"$named" </dev/null >/dev/null 2>&1 &
    pid=$!
    n=
    for _ in $(seq 1 100); do
        n=$(head -n 1 "$named")
        [ -n "$n" ] && usable ":$n" && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$named"
    if [ -n "$n" ] && usable ":$n" && kill -0 "$pid" 2>/dev/null; then
        printf 'DISPLAY=:%s\nPID=%s\n' "$n" "$pid" >"$file"
        echo "screen: started Xvfb :$n (pid $pid)"
        exit 0
    fi
    kill "$pid" 2>/dev/null
    echo "screen: could not start Xvfb" >&2
    exit 1
    ;;
down)
    pid=$(our_xvfb)
    if [ -n "$pid" ]; then
        kill "$pid"
        for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        echo "screen: stopped Xvfb (pid $pid)"
    fi
    rm -f "$file"
    ;;
*)
    sed -n '2,6p' "$0" >&2
    exit 2
    ;;
esac
