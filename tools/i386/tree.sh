#!/usr/bin/env bash
# The i386 Debian tree in which 32-bit Wine runs, through qemu's user-mode emulator (this kernel cannot start
# 32-bit Linux programs itself). It lives in a cache folder outside the clone, so that a fresh clone reuses it:
# OC_I386_CACHE, default /var/cache/offclock/i386 (about 2 GB).
#   tree.sh setup        make what is missing (root; idempotent): qemu-i386 10 from Debian 13's qemu-user
#                        (fetched through a private apt state folder, the machine's apt sources are not
#                        touched), its binfmt_misc entry (flag F), the tree (debootstrap i386 bookworm minbase)
#                        with 32-bit Wine, fonts, the zh_CN.UTF-8 locale, and the trap-number preload library
#   tree.sh ready        exit status 0 when the tree is complete and the binfmt_misc entry is there
#   tree.sh enter CMD..  run CMD inside the tree, with the environment as given, in the current folder
#
# `enter` makes its mounts (/proc, /dev, /sys, /tmp, the project tree and the current folder at the same paths
# as outside) in a mount namespace of its own: they exist only for the processes of that command and vanish
# with the last of them (a wineserver started inside included). Nothing is ever mounted on the machine itself.
set -euo pipefail
CACHE=${OC_I386_CACHE:-/var/cache/offclock/i386}
ROOT=$CACHE/root
QEMU=$CACHE/bin/qemu-i386
BINFMT=/proc/sys/fs/binfmt_misc
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
PROJECT=$(cd "$HERE/../.." && pwd)
PACKAGES="wine wine32 fonts-wqy-microhei fonts-liberation fonts-wine locales libxrender1 libxrandr2 libxi6
  libxcursor1 libxfixes3 libxinerama1 libxcomposite1 libxxf86vm1 libdbus-1-3 gcc libc6-dev"
export DEBIAN_FRONTEND=noninteractive

log() { printf '== i386: %s\n' "$*" >&2; }

# The Debian archive the machine's own apt sources name.
mirror() {
    local m
    m=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -v security | head -n 1)
    [ -n "$m" ] || m=$(awk '$1 == "deb" && $2 !~ /security/ { print $2; exit }' /etc/apt/sources.list 2>/dev/null)
    [ -n "$m" ] || { echo "no Debian archive in the apt sources" >&2; return 1; }
    echo "$m"
}

# qemu-i386 10 from Debian 13 (Debian 12's 7.2 spends about 50 s of CPU starting each Wine process).
fetch_qemu() {
    [ -x "$QEMU" ] && return 0
    log "fetching qemu-user from Debian 13 through a private apt state folder"
    local a=$CACHE/apt-trixie
    rm -rf "$a"
    mkdir -p "$a/lists/partial" "$a/cache/archives/partial" "$a/download" "$CACHE/bin"
    echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $(mirror) trixie main" >"$a/sources.list"
    local opts=(-o Dir::Etc::SourceList="$a/sources.list" -o Dir::Etc::SourceParts=/dev/null
        -o Dir::State::Lists="$a/lists" -o Dir::Cache="$a/cache" -o APT::Architectures::=amd64
        -o Debug::NoLocking=1 -o APT::Sandbox::User=root)
    apt-get "${opts[@]}" update -qq
    (cd "$a/download" && apt-get "${opts[@]}" download qemu-user >/dev/null)
    dpkg-deb -x "$a"/download/qemu-user_*.deb "$a/x"
    install -m 755 "$a/x/usr/bin/qemu-i386" "$QEMU.new"
    mv "$QEMU.new" "$QEMU"
    rm -rf "$a"
}

# i386 ELF programs go to qemu-i386. Flag F opens the interpreter now, so that it also serves inside the tree.
register_binfmt() {
    mountpoint -q "$BINFMT" || mount -t binfmt_misc binfmt_misc "$BINFMT"
    local entry=$BINFMT/qemu-i386
    if [ -e "$entry" ] && ! grep -qx "interpreter $QEMU" "$entry"; then echo -1 >"$entry"; fi
    [ -e "$entry" ] && return 0
    log "registering qemu-i386 in binfmt_misc"
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$QEMU"':F' \
        >"$BINFMT/register"
}

bootstrap() {
    [ -e "$ROOT/.offclock-bootstrapped" ] && return 0
    log "debootstrap --arch=i386 --variant=minbase bookworm (about 2 minutes)"
    rm -rf --one-file-system "$ROOT" # a half-made tree
    debootstrap --arch=i386 --variant=minbase bookworm "$ROOT" "$(mirror)" >"$CACHE/debootstrap.log" 2>&1 ||
        { tail -n 20 "$CACHE/debootstrap.log" >&2; return 1; }
    touch "$ROOT/.offclock-bootstrapped"
}

install_packages() {
    local stamp=$ROOT/.offclock-packages
    [ -e "$stamp" ] && [ "$(cat "$stamp")" = "$(echo $PACKAGES)" ] && return 0
    log "installing 32-bit Wine, fonts and the locale in the tree (about 2 minutes)"
    cp -f /etc/resolv.conf "$ROOT/etc/resolv.conf"
    # shellcheck disable=SC2086
    enter /bin/bash -ec '
        export LANG=C
        apt-get update -qq
        apt-get install -y -qq --no-install-recommends '"$(echo $PACKAGES)"' >/dev/null
        sed -i "s/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/" /etc/locale.gen
        locale-gen >/dev/null
        apt-get clean' >"$CACHE/packages.log" 2>&1 || { tail -n 20 "$CACHE/packages.log" >&2; return 1; }
    echo $PACKAGES >"$stamp"
}

build_fixtrap() {
    local dir=$ROOT/opt/offclock
    mkdir -p "$dir"
    cmp -s "$HERE/fixtrap.c" "$dir/fixtrap.c" && [ -e "$dir/libfixtrap.so" ] && return 0
    log "building the trap-number preload library"
    cp "$HERE/fixtrap.c" "$dir/fixtrap.c"
    enter gcc -O2 -Wall -shared -fPIC -o /opt/offclock/libfixtrap.so /opt/offclock/fixtrap.c -ldl
}

ready() {
    [ -e "$BINFMT/qemu-i386" ] && grep -qx enabled "$BINFMT/qemu-i386" && [ -e "$ROOT/opt/offclock/libfixtrap.so" ] &&
        [ -e "$ROOT/.offclock-packages" ] && cmp -s "$HERE/fixtrap.c" "$ROOT/opt/offclock/fixtrap.c"
}

setup() {
    [ "$(id -u)" -eq 0 ] || { echo "the i386 tree needs root to set up" >&2; return 1; }
    mkdir -p "$CACHE"
    exec 9>"$CACHE/.setup-lock"
    flock 9 # two clones setting up at once: one after the other
    fetch_qemu
    register_binfmt
    bootstrap
    install_packages
    build_fixtrap
    ready || { echo "the i386 tree is not complete" >&2; return 1; }
}

# Runs "$@" inside the tree, in a mount namespace of its own (see above). With enter_how=exec the command
# takes this process's place (so that killing this process kills the command).
enter_how=
enter() {
    local cwd=$PWD
    $enter_how unshare --mount --propagation private -- /bin/bash -euc '
        root=$1 project=$2 cwd=$3; shift 3
        bind() { # the same folder at the same path inside
            mkdir -p "$root$1"
            mount --bind "$1" "$root$1"
        }
        mkdir -p "$root/proc"
        mount -t proc proc "$root/proc"
        for d in /dev /dev/pts /dev/shm /sys /tmp; do bind "$d"; done
        case "$project/" in /tmp/*) ;; *) bind "$project" ;; esac
        case "$cwd/" in /tmp/* | "$project"/* | //) ;; *) bind "$cwd" ;; esac
        exec chroot "$root" /bin/sh -c '\''cd "$1" 2>/dev/null || cd /; shift; exec "$@"'\'' sh "$cwd" "$@"
    ' enter "$ROOT" "$PROJECT" "$cwd" "$@"
}

case "${1:-}" in
    setup) setup ;;
    ready) ready ;;
    enter)
        shift
        [ $# -gt 0 ] || { echo "usage: tree.sh enter CMD..." >&2; exit 2; }
        enter_how=exec enter "$@"
        ;;
    *) sed -n '2,15p' "$0" >&2; exit 2 ;;
esac
