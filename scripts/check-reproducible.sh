#!/bin/sh
# Builds the release twice from copies of SOURCE in two different folders (the second reached
# through a symbolic link), under different umasks and time zones, and fails unless both give
# the same bytes: the zip, Quorvane.aip, quorvane-host.exe and the debug file. Also fails when
# a build folder's path (either spelling) shows up in a shipped file, when the shipped module
# carries debug sections, when the zip's files are not exactly those expected (the editor
# extension folder included) or SHA256SUMS does not cover them, or (given TESTED) when the
# shipped module is not byte for byte the module that the Windows tests ran.
#
#   scripts/check-reproducible.sh SOURCE WORK [TESTED_MODULE [BUILT_TREE]]
#
# Given BUILT_TREE, a Windows release tree already built from SOURCE where it is (build/windows,
# as make test builds it), that tree is the first build, packed as make dist packs it, and only
# the second is made: the same comparisons, one cross build less.
#
# WORK is emptied first. expat's pinned source is fetched once (into SOURCE/build/sources, as a
# normal configure does) and copied into each build's folder. Both builds get the time of
# SOURCE's last commit as SOURCE_DATE_EPOCH, as make dist would.
set -eu
export LC_ALL=C
if [ $# -lt 2 ]; then
    echo "usage: $0 SOURCE WORK [TESTED_MODULE]" >&2
    exit 2
fi
source=$(cd "$1" && pwd)
rm -rf "$2"
mkdir -p "$2"
work=$(cd "$2" && pwd)
tested=${3:-}
built=""
if [ -n "${4:-}" ]; then
    built=$(cd "$4" && pwd)
fi
objdump=x86_64-w64-mingw32-objdump

say() { echo "check-reproducible: $*"; }

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH

expat="$source/build/sources/expat"
sh "$source/scripts/fetch-debian-source.sh" expat "$source/build/sources" >/dev/null

# build FOLDER UMASK TZ: a copy of the sources (what git tracks, and new files it does not
# ignore, as they are in the work tree) built into FOLDER/dist.
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
        cmake -S "$folder/src" -B "$folder/build" -G "Unix Makefiles" \
            --toolchain "$folder/src/cmake/mingw-w64-x86_64.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DQUORVANE_TESTS=OFF \
            -DQUORVANE_EXPAT_SOURCE_DIR="$folder/expat" \
            -DQUORVANE_DIST_DIR="$folder/dist" >"$folder/configure.log" 2>&1 ||
            { cat "$folder/configure.log"; exit 1; }
        cmake --build "$folder/build" --target dist -j 2 >"$folder/build.log" 2>&1 ||
            { tail -40 "$folder/build.log"; exit 1; }
    )
}

first="$work/first"
# The second tree is reached through a symbolic link: the compiler's working folder is then
# the resolved path while CMake hands it the linked one, and both must be mapped out. The
# link's path begins with the real one (second-link, second), so that a map matched as a plain
# prefix would rewrite one spelling with the other's.
mkdir -p "$work/second/a/deeper"
ln -s "second" "$work/second-link"
second="$work/second-link/a/deeper/folder"
if [ -n "$built" ]; then
    say "the first build is $built"
    mkdir -p "$first/dist"
    ln -s "$built" "$first/build"
    version=$(sed -n 's/^project(Quorvane VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
    sh "$source/scripts/make-dist.sh" "$source" "$built" "$first/dist" "$version" \
        x86_64-w64-mingw32-objcopy "$expat" >"$first/build.log" 2>&1 ||
        { cat "$first/build.log"; exit 1; }
else
    build "$first" 022 UTC
fi
build "$second" 077 Pacific/Kiritimati

failed=0
fail() { echo "check-reproducible: FAILED: $*" >&2; failed=1; }

name=$(cd "$first/dist" && ls quorvane-*-win64.zip)
stage=${name%.zip}
for file in "dist/$name" "dist/Quorvane.aip.debug" "build/dist-stage/$stage/Quorvane.aip" \
            "build/dist-stage/$stage/quorvane-host.exe"; do
    if cmp -s "$first/$file" "$second/$file"; then
        say "same: $file $(sha256sum <"$first/$file" | cut -c1-16)"
    else
        fail "$file differs between the two builds"
        case "$file" in
            *.aip | *.exe)
                "$objdump" -p "$first/$file" >"$work/first.headers"
                "$objdump" -p "$second/$file" >"$work/second.headers"
                diff "$work/first.headers" "$work/second.headers" | head -20 >&2 || true ;;
        esac
    fi
done

for file in "build/dist-stage/$stage/Quorvane.aip" "build/dist-stage/$stage/quorvane-host.exe" \
            "dist/Quorvane.aip.debug"; do
    for path in "$first" "$second" "$work/second/a/deeper/folder" "$source" \
                "$(realpath "$source")"; do
        if grep -q -a -F "$path" "$first/$file"; then
            fail "$file holds the path $path"
        fi
    done
done

listing=$(cd "$first/dist" && zip -sf "$name" | sed -n 's/^  *//p' | grep -v '^Total' | sort | tr '\n' ' ')
# The top folder's files, and the editor extension folder: every .inx of the source's
# extensions/inkscape with the program and module beside them.
expected=$( (
    for file in LICENSE Quorvane.aip README.txt SHA256SUMS THIRD-PARTY-NOTICES.txt \
                quorvane-host.exe inkscape/quorvane/Quorvane.aip inkscape/quorvane/quorvane-host.exe; do
        echo "$stage/$file"
    done
    for inx in "$source"/extensions/inkscape/*.inx; do
        echo "$stage/inkscape/quorvane/${inx##*/}"
    done
) | sort | tr '\n' ' ')
if [ "$listing" != "$expected" ]; then
    fail "the zip holds [$listing], expected [$expected]"
fi
for file in Quorvane.aip quorvane-host.exe; do
    cmp -s "$first/build/dist-stage/$stage/$file" "$first/build/dist-stage/$stage/inkscape/quorvane/$file" ||
        fail "the extension folder's $file differs from the one beside it"
done
if ! (cd "$first/build/dist-stage/$stage" && sha256sum --quiet -c SHA256SUMS); then
    fail "SHA256SUMS does not match the files of the zip"
fi
if [ "$(wc -l <"$first/build/dist-stage/$stage/SHA256SUMS")" != "$(($(echo "$listing" | wc -w) - 1))" ]; then
    fail "SHA256SUMS does not list every other file of the zip"
fi
if "$objdump" -h "$first/build/dist-stage/$stage/Quorvane.aip" | grep -q '\.debug_'; then
    fail "the shipped Quorvane.aip has debug sections"
fi
if ! "$objdump" -h "$first/build/dist-stage/$stage/Quorvane.aip" | grep -q '\.gnu_debuglink'; then
    fail "the shipped Quorvane.aip has no debug link"
fi
if [ -n "$tested" ]; then
    if cmp -s "$tested" "$first/build/dist-stage/$stage/Quorvane.aip"; then
        say "the shipped Quorvane.aip is the module the Windows tests ran ($tested)"
    else
        fail "the shipped Quorvane.aip differs from the module the Windows tests ran ($tested)"
    fi
fi

if [ "$failed" = 0 ]; then
    rm -rf "$work"
    say "two builds, the same bytes"
fi
exit "$failed"
