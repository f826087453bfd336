#!/usr/bin/env bash
# The release rebuilt byte for byte. Two clones of the checkout's last commit, at paths of different lengths,
# each make the release with scripts/release, one after the other (so at different times), from sessions with
# other time zones, locales, file mode masks and host names; the zips, the executables and SHA256SUMS must be
# the same bytes. Besides: no clone path, host name or user name is in the programs, the executables' header
# and the zips' entries are dated at the commit, each program names the commit, and `sha256sum -c SHA256SUMS`
# passes on the release and fails on a copy with one byte of a zip changed.
#   check_reproducible.sh SOURCE_DIR
# It tests the last commit, not uncommitted changes: a release is made from a commit.
set -u
[ $# -eq 1 ] || { echo "usage: check_reproducible.sh SOURCE_DIR"; exit 2; }
source_dir=$1
commit=$(git -C "$source_dir" rev-parse --verify -q HEAD) || { echo "$source_dir is not a Git checkout"; exit 1; }
commit_time=$(git -C "$source_dir" log -1 --format=%ct)
work=$(mktemp -d /tmp/offclock-release-check.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail=0
complain() { echo "$*"; fail=1; }

first=$work/a/offclock
second=$work/somewhere/else/with/a/longer/path/offclock-clone
for clone in "$first" "$second"; do
    # A clone of the repository, then the commit itself: it may be on no branch the clone would check out.
    git clone -q --no-checkout "$source_dir" "$clone" && git -C "$clone" checkout -q --detach "$commit" ||
        { echo "cannot clone $commit of $source_dir into $clone"; exit 1; }
done

# CLONE HOST TZ LANG UMASK: scripts/release in CLONE; under another host name when this may make a UTS
# namespace (root), else under this one.
release() {
    local clone=$1 host=$2 zone=$3 lang=$4 mask=$5 start
    start=$(date +%s)
    echo "== scripts/release in $clone (TZ=$zone LANG=$lang umask $mask host $host), $(date -u '+%H:%M:%S UTC')"
    local command="umask $mask && cd '$clone' && TZ=$zone LANG=$lang LC_ALL= scripts/release"
    if unshare --uts true 2>/dev/null; then
        unshare --uts bash -c "hostname '$host' && $command" >"$clone.log" 2>&1
    else
        bash -c "$command" >"$clone.log" 2>&1
    fi || { tail -n 40 "$clone.log"; echo "scripts/release failed in $clone"; exit 1; }
    echo "   $(($(date +%s) - start)) s"
}
release "$first" offclock-first-host UTC C.UTF-8 022
release "$second" offclock-second-host Pacific/Kiritimati zh_CN.UTF-8 077

for clone in "$first" "$second"; do
    (cd "$clone/build/release" && ls) >"$clone.files"
done
cmp -s "$first.files" "$second.files" || complain "the releases hold different files: $(paste -sd' ' "$first.files") / $(paste -sd' ' "$second.files")"
mapfile -t files <"$first.files"
[ "$(paste -sd' ' "$first.files")" = "OffClock-1.0.0-i686.zip OffClock-1.0.0-x86_64.zip SHA256SUMS" ] ||
    complain "the release holds $(paste -sd' ' "$first.files"), not the two zips and SHA256SUMS"
for file in "${files[@]/#/build/release/}" build/release-win32/offclock.exe build/release-win64/offclock.exe; do
    cmp "$first/$file" "$second/$file" || complain "$file differs between the two builds"
done

# What would tell where, by whom or when a program was built. (The clones' paths differ, so identical bytes
# already rule them out; these say which one went in.)
# This machine's host name is looked for when it is long enough not to turn up by chance; the user name as a
# word of its own.
texts=("$first" "$second" "$work" offclock-first-host offclock-second-host)
[ ${#HOSTNAME} -ge 5 ] && texts+=("$HOSTNAME")
user=$(id -un)
for exe in "$first"/build/release-win{32,64}/offclock.exe; do
    for text in "${texts[@]}"; do
        LC_ALL=C grep -q -a -F "$text" "$exe" && complain "$exe holds \"$text\""
    done
    LC_ALL=C grep -q -a -w -F "$user" "$exe" && complain "$exe holds the user name \"$user\""
done
python3 - "$commit_time" "$first"/build/release-win{32,64}/offclock.exe "$first"/build/release/*.zip <<'EOF' || fail=1
import struct, sys, time, zipfile
commit_time, paths = int(sys.argv[1]), sys.argv[2:]
bad = False
for path in paths:
    if path.endswith(".exe"):
        data = open(path, "rb").read()
        header = struct.unpack_from("<I", data, 0x3C)[0]
        stamp = struct.unpack_from("<I", data, header + 8)[0]
        if stamp != commit_time:
            print(f"{path}: the PE header's time is {stamp}, not the commit's {commit_time}")
            bad = True
    else:
        when = time.gmtime(commit_time - commit_time % 2)[:6]
        for info in zipfile.ZipFile(path).infolist():
            if info.date_time != when:
                print(f"{path}: {info.filename} is dated {info.date_time}, not at the commit {when}")
                bad = True
sys.exit(1 if bad else 0)
EOF
for arch in win32 win64; do
    triple=$(sed -n 's/^set(OC_TRIPLE \(.*\))$/\1/p' "$first/cmake/toolchain-$arch.cmake")
    bash "$first/tests/binary/check_executable.sh" "$triple-objdump" "$first/build/release-$arch/offclock.exe" \
        "$first" >"$work/check-$arch.log" || { cat "$work/check-$arch.log"; complain "the $arch program fails its checks"; }
done

# The checksums, as a user checks a download: they pass on the release, and fail on one changed byte.
(cd "$first/build/release" && LC_ALL=C sha256sum -c SHA256SUMS) || complain "sha256sum -c SHA256SUMS fails on the release"
cp -r "$first/build/release" "$work/changed"
python3 - "$work/changed/OffClock-1.0.0-i686.zip" <<'EOF'
import sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
data[len(data) // 2] ^= 0x01
open(path, "wb").write(data)
EOF
if (cd "$work/changed" && LC_ALL=C sha256sum -c SHA256SUMS >"$work/changed.log" 2>&1); then
    complain "sha256sum -c SHA256SUMS passes on a zip with one byte changed"
elif ! grep -qx "OffClock-1.0.0-i686.zip: FAILED" "$work/changed.log"; then
    cat "$work/changed.log"
    complain "sha256sum -c does not name the changed zip"
fi

echo "commit $commit"
cat "$first/build/release/SHA256SUMS"
[ $fail -eq 0 ] && echo "PASS" || echo "FAIL"
exit $fail
