#!/bin/sh
# Packs the web page: DIST/quorvane-web-VERSION.zip (the page for a static web server, the
# one-file page quorvane.html, LICENSE and the third-party notices) and adds it to
# DIST/SHA256SUMS-web.
#
#   scripts/make-web-dist.sh SOURCE PAGE DIST VERSION EXPAT_SOURCE
#
# PAGE is the web tree's page folder (build/web/page, made by make web), EXPAT_SOURCE the
# expat tree the engine was built from (for its licence). The zip is the same bytes for the
# same commit: its files carry the time of the last commit (SOURCE_DATE_EPOCH, when set, wins),
# fixed modes, no extra attributes, and are added in a fixed order.
set -eu
if [ $# -ne 5 ]; then
    echo "usage: $0 SOURCE PAGE DIST VERSION EXPAT_SOURCE" >&2
    exit 2
fi
source=$1 page=$2 dist=$3 version=$4 expat=$5
name="quorvane-web-$version"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct 2>/dev/null || true)
fi
if [ -z "$SOURCE_DATE_EPOCH" ]; then
    echo "make-web-dist: no commit to take the release's time from; set SOURCE_DATE_EPOCH" >&2
    exit 1
fi
export SOURCE_DATE_EPOCH TZ=UTC LC_ALL=C

stage="$page/../dist-stage"
rm -rf "$stage"
mkdir -p "$stage/$name" "$dist"
files="$stage/$name"
for file in index.html quorvane.css app.js worker.js quorvane.js quorvane.wasm quorvane.html; do
    if [ ! -f "$page/$file" ]; then
        echo "make-web-dist: $page/$file is missing (run make web first)" >&2
        exit 1
    fi
    cp "$page/$file" "$files/$file"
done
cp "$source/LICENSE" "$files/LICENSE"

notice() { # notice TITLE FILE
    printf '\n==============================================================================\n%s\n==============================================================================\n\n' "$1"
    cat "$2"
}
{
    cat "$source/web/THIRD-PARTY-NOTICES.txt"
    notice "emscripten, its runtime and its C and C++ libraries (in quorvane.wasm and quorvane.js)" \
        /usr/share/doc/emscripten/copyright
    notice "Expat (XML reading in quorvane.wasm)" "$expat/COPYING"
    notice "JSON for Modern C++, nlohmann-json (JSON in quorvane.wasm)" \
        /usr/share/doc/nlohmann-json3-dev/copyright
} >"$files/THIRD-PARTY-NOTICES.txt"

find "$files" -type d -exec chmod 0755 {} +
find "$files" -type f -exec chmod 0644 {} +
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

zip="$dist/$name.zip"
rm -f "$zip" "$zip.partial"
(cd "$stage" && find "$name" -type f | sort | zip -X -D -9 -q "$zip.partial" -@)
mv "$zip.partial" "$zip"
(cd "$dist" && sha256sum "$name.zip" >SHA256SUMS-web)
echo "make-web-dist: $zip"
(cd "$dist" && cat SHA256SUMS-web)
