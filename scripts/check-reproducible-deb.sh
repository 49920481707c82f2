#!/bin/sh
# Builds the Debian package twice (scripts/make-deb.sh) from copies of SOURCE in two folders,
# the second reached through a symbolic link, under different umasks and time zones, and fails
# unless both give the same .deb bytes. Also fails when a build folder's path shows up in the
# packaged program or module.
#
#   scripts/check-reproducible-deb.sh SOURCE WORK [KEEP_DIR]
#
# WORK is emptied first. Given KEEP_DIR, the package is copied there (for the tests that
# install it), and WORK is removed when the check passes. Exit: 0 the same bytes, 1 otherwise.
set -eu
export LC_ALL=C.UTF-8
if [ $# -lt 2 ]; then
    echo "usage: $0 SOURCE WORK [KEEP_DIR]" >&2
    exit 2
fi
source=$(cd "$1" && pwd)
rm -rf "$2"
mkdir -p "$2"
work=$(cd "$2" && pwd)
keep=${3:-}
say() { echo "check-reproducible-deb: $*"; }
failed=0
fail() { echo "check-reproducible-deb: FAILED: $*" >&2; failed=1; }

mkdir -p "$work/second-real/a/deeper"
ln -s "$work/second-real" "$work/second"
(umask 022 && TZ=UTC sh "$source/scripts/make-deb.sh" "$source" "$work/first" "$work/first/dist")
(umask 077 && TZ=Pacific/Kiritimati sh "$source/scripts/make-deb.sh" "$source" \
    "$work/second/a/deeper/folder" "$work/second/a/deeper/folder/dist")

first=$(ls "$work/first/dist"/*.deb)
second=$(ls "$work/second/a/deeper/folder/dist"/*.deb)
if cmp -s "$first" "$second"; then
    say "same: ${first##*/} $(sha256sum <"$first" | cut -c1-16)"
else
    fail "${first##*/} differs between the two builds"
    command -v diffoscope >/dev/null && diffoscope "$first" "$second" | head -40 >&2 || true
fi
mkdir -p "$work/contents"
dpkg-deb -x "$first" "$work/contents"
for path in "$work/first" "$work/second" "$work/second-real" "$source" "$(realpath "$source")"; do
    if grep -r -q -a -F "$path" "$work/contents"; then
        fail "the package holds the path $path: $(grep -r -l -a -F "$path" "$work/contents" | tr '\n' ' ')"
    fi
done

if [ -n "$keep" ]; then
    mkdir -p "$keep"
    cp "$first" "$keep/"
fi
if [ "$failed" = 0 ]; then
    rm -rf "$work"
    say "two builds, the same bytes"
fi
exit "$failed"
