#!/usr/bin/env bash
# The commit that cmake/source_revision.cmake writes for the version record, for each kind of sources a build
# meets: a clean checkout (its HEAD), one with a changed tracked file (HEAD-dirty; an untracked file changes
# nothing), a folder inside a checkout that is no checkout of its own ("unknown", not the outer commit), and a
# revision the builder gives (taken as it is). An unchanged result leaves the header untouched, so that nothing
# is compiled again; bad input is refused with a message.
#   check_source_revision.sh SOURCE_REVISION_CMAKE
set -u
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
header=$work/version_info.h
fail=0

# SOURCE_DIR [REVISION]: runs the script, leaves its messages in $work/log.
generate() { cmake -DSOURCE_DIR="$1" -DOUTPUT="$header" -DVERSION=2.3.4 ${2:+"-DREVISION=$2"} -P "$script" >"$work/log" 2>&1; }
define() { sed -n "s/^#define $1 //p" "$header"; }
expect() { # WHAT NAME VALUE
    local got
    got=$(define "$2")
    [ "$got" = "$3" ] || { echo "$1: $2 is $got, expected $3"; fail=1; }
}

repo=$work/repo
mkdir -p "$repo/plain"
git -C "$repo" init -q
echo one >"$repo/file.txt"
git -C "$repo" add file.txt
git -C "$repo" -c user.name=OffClock -c user.email=offclock@example.invalid commit -q -m one
head=$(git -C "$repo" rev-parse HEAD)

generate "$repo" || { echo "a clean checkout was refused:"; cat "$work/log"; exit 1; }
expect "clean checkout" OC_SOURCE_REVISION "\"$head\""
expect "clean checkout" OC_PRODUCT_VERSION_TEXT "\"2.3.4.0 (commit ${head:0:12})\""
expect "clean checkout" OC_VERSION_TEXT '"2.3.4.0"'
expect "clean checkout" OC_VERSION_NUMBERS "2, 3, 4, 0"

touch -d 2001-01-01 "$header"
echo scratch >"$repo/untracked.txt"
generate "$repo"
expect "untracked file" OC_SOURCE_REVISION "\"$head\""
[ "$(stat -c %Y "$header")" = "$(date -d 2001-01-01 +%s)" ] ||
    { echo "the header was written again although its text did not change"; fail=1; }

echo two >"$repo/file.txt"
generate "$repo"
expect "changed tracked file" OC_SOURCE_REVISION "\"$head-dirty\""
expect "changed tracked file" OC_PRODUCT_VERSION_TEXT "\"2.3.4.0 (commit ${head:0:12}-dirty)\""

generate "$repo/plain"
expect "folder inside a checkout" OC_SOURCE_REVISION '"unknown"'
expect "folder inside a checkout" OC_PRODUCT_VERSION_TEXT '"2.3.4.0 (commit unknown)"'

generate "$repo/plain" 0123456789abcdef0123456789abcdef01234567
expect "given revision" OC_SOURCE_REVISION '"0123456789abcdef0123456789abcdef01234567"'
expect "given revision" OC_PRODUCT_VERSION_TEXT '"2.3.4.0 (commit 0123456789ab)"'

if generate "$repo" 'v1"2'; then
    echo "a revision with a quote was taken into the header"
    fail=1
elif ! grep -q "has characters other than" "$work/log"; then
    echo "a revision with a quote was refused without saying why:"
    cat "$work/log"
    fail=1
fi
if cmake -DSOURCE_DIR="$repo" -DOUTPUT="$header" -DVERSION=1.0 -P "$script" >"$work/log" 2>&1 ||
    ! grep -q "is not MAJOR.MINOR.PATCH" "$work/log"; then
    echo "a version of two numbers was not refused with a message"
    fail=1
fi

[ $fail -eq 0 ] && echo "PASS" || echo "FAIL"
exit $fail
