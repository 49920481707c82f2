#!/bin/sh
# Builds the web zip twice from copies of SOURCE in two different folders (the second reached
# through a symbolic link), under different umasks and time zones, and fails unless both give
# the same bytes (the zip, quorvane.wasm, quorvane.js and quorvane.html), when a build folder's
# path shows up in a shipped file, or when the zip's files are not exactly those expected.
#
#   scripts/check-reproducible-web.sh SOURCE WORK [BUILT_PAGE]
#
# WORK is emptied first. Both builds get the time of SOURCE's last commit as
# SOURCE_DATE_EPOCH, as make dist would. Given BUILT_PAGE, the page folder of a web tree already
# built from SOURCE where it is (build/web/page, as make test builds it), that build is the
# first one and only the second is made: the same comparison, one build less.
set -eu
export LC_ALL=C NODE_PATH=/usr/share/nodejs EM_NODE_JS=/usr/bin/node
if [ $# -ne 2 ] && [ $# -ne 3 ]; then
    echo "usage: $0 SOURCE WORK [BUILT_PAGE]" >&2
    exit 2
fi
built=""
if [ $# -eq 3 ]; then
    built=$(cd "$3" && pwd)
fi
source=$(cd "$1" && pwd)
rm -rf "$2"
mkdir -p "$2"
work=$(cd "$2" && pwd)
say() { echo "check-reproducible-web: $*"; }

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH
expat="$source/build/sources/expat"
sh "$source/scripts/fetch-debian-source.sh" expat "$source/build/sources" >/dev/null

# build FOLDER UMASK TZ: a copy of the sources built into FOLDER/dist with the web preset's
# settings.
build() {
    folder=$1
    mkdir -p "$folder/src"
    (cd "$source" && git ls-files -z --cached --others --exclude-standard |
        tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -C "$folder/src" -xf -
    cp -R "$expat" "$folder/expat"
    say "building in $folder (umask $2, TZ=$3)"
    (
        umask "$2"
        export TZ="$3"
        cd "$folder/src"
        cmake --preset web -DQUORVANE_EXPAT_SOURCE_DIR="$folder/expat" \
            -DQUORVANE_DIST_DIR="$folder/dist" >"$folder/configure.log" 2>&1 ||
            { cat "$folder/configure.log"; exit 1; }
        cmake --build build/web --target web-dist -j 2 >"$folder/build.log" 2>&1 ||
            { tail -40 "$folder/build.log"; exit 1; }
    )
}

first="$work/first"
mkdir -p "$work/second-real/a/deeper"
ln -s "$work/second-real" "$work/second"
second="$work/second/a/deeper/folder"
if [ -n "$built" ]; then
    # The first build is the one at hand: its page, packed as make dist packs it.
    say "the first build is $built"
    mkdir -p "$first/src/build/web/page" "$first/dist"
    cp -R "$built/." "$first/src/build/web/page/"
    version=$(sed -n 's/^project(Quorvane VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
    sh "$source/scripts/make-web-dist.sh" "$source" "$first/src/build/web/page" "$first/dist" \
        "$version" "$expat" >"$first/build.log" 2>&1 || { cat "$first/build.log"; exit 1; }
else
    build "$first" 022 UTC
fi
build "$second" 077 Pacific/Kiritimati

failed=0
fail() { echo "check-reproducible-web: FAILED: $*" >&2; failed=1; }

name=$(cd "$first/dist" && ls quorvane-web-*.zip)
stage=${name%.zip}
for file in "dist/$name" src/build/web/page/quorvane.wasm src/build/web/page/quorvane.js \
            src/build/web/page/quorvane.html; do
    if cmp -s "$first/$file" "$second/$file"; then
        say "same: $file $(sha256sum <"$first/$file" | cut -c1-16)"
    else
        fail "$file differs between the two builds"
    fi
done
for file in quorvane.wasm quorvane.js quorvane.html; do
    for path in "$first" "$second" "$work/second-real" "$source" "$(realpath "$source")"; do
        if grep -q -a -F "$path" "$first/src/build/web/page/$file"; then
            fail "$file holds the path $path"
        fi
    done
done
listing=$(cd "$first/dist" && zip -sf "$name" | sed -n 's/^  *//p' | grep -v '^Total' | sort | tr '\n' ' ')
expected=$(for file in LICENSE THIRD-PARTY-NOTICES.txt app.js index.html quorvane.css \
                       quorvane.html quorvane.js quorvane.wasm worker.js; do
               echo "$stage/$file"
           done | sort | tr '\n' ' ')
if [ "$listing" != "$expected" ]; then
    fail "the zip holds [$listing], expected [$expected]"
fi
size=$(wc -c <"$first/src/build/web/page/quorvane.wasm")
say "quorvane.wasm: $size bytes"
if [ "$size" -ge 1048576 ]; then
    fail "quorvane.wasm is $size bytes, more than 1 MiB"
fi
[ "$failed" = 0 ] && say "the two builds are the same bytes"
exit "$failed"
