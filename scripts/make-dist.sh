#!/bin/sh
# Packs the Windows release: DIST/quorvane-VERSION-win64.zip (the module, the command line, and
# the editor extension folder inkscape/quorvane/), with the module's debug information beside
# it (Quorvane.aip.debug, for our own crash analysis) and DIST/SHA256SUMS.
#
#   scripts/make-dist.sh SOURCE BUILD DIST VERSION OBJCOPY EXPAT_SOURCE
#
# SOURCE is the source tree, BUILD the dist build tree (bin/ holds Quorvane.aip, already split
# by the build, and quorvane-host.exe), EXPAT_SOURCE the expat tree the program was built
# from (for its licence). The zip is the same bytes for the same commit: its files carry the
# time of the last commit (SOURCE_DATE_EPOCH, when set, wins), fixed modes, no extra
# attributes, and are added in a fixed order.
set -eu
if [ $# -ne 6 ]; then
    echo "usage: $0 SOURCE BUILD DIST VERSION OBJCOPY EXPAT_SOURCE" >&2
    exit 2
fi
source=$1 build=$2 dist=$3 version=$4 objcopy=$5 expat=$6
name="quorvane-$version-win64"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git -C "$source" log -1 --format=%ct 2>/dev/null || true)
fi
if [ -z "$SOURCE_DATE_EPOCH" ]; then
    echo "make-dist: no commit to take the release's time from; set SOURCE_DATE_EPOCH" >&2
    exit 1
fi
export SOURCE_DATE_EPOCH
# zip stores local times: read in UTC, the same epoch gives the same bytes everywhere.
export TZ=UTC LC_ALL=C

stage="$build/dist-stage"
rm -rf "$stage"
mkdir -p "$stage/$name" "$dist"
files="$stage/$name"

cp "$build/bin/Quorvane.aip" "$files/"
cp "$build/bin/Quorvane.aip.debug" "$stage/"
# The module was split by the build, so that its tests ran the file that ships; the program
# (built without debug information) loses its symbol table here.
# (objcopy stamps the PE header with SOURCE_DATE_EPOCH, or else the time of its run; 0 is what
# the linker wrote.)
SOURCE_DATE_EPOCH=0 "$objcopy" --strip-all "$build/bin/quorvane-host.exe" "$files/quorvane-host.exe"

# The editor extension, self-contained: every .inx of extensions/inkscape with the program and
# the module it runs beside it, so that the folder works wherever the user unpacks it (the
# editor's extension folder is not the host's plug-in folder, and the .inx can name a program
# only beside itself or on the PATH). The copies are the same bytes as the files above.
extension="$files/inkscape/quorvane"
sh "$source/extensions/inkscape/extension.sh" build "$files" quorvane-host.exe Quorvane.aip \
    "$extension" >/dev/null

sed -e "s/@VERSION@/$version/g" "$source/resources/dist/README.txt" >"$files/README.txt"
cp "$source/LICENSE" "$files/LICENSE"

# What is linked into the two programs besides our own code, and under which terms.
notice() { # notice TITLE FILE
    printf '\n==============================================================================\n%s\n==============================================================================\n\n' "$1"
    cat "$2"
}
{
    cat "$source/resources/dist/THIRD-PARTY-NOTICES.txt"
    notice "Expat (XML reading in quorvane-host.exe)" "$expat/COPYING"
    notice "JSON for Modern C++, nlohmann-json (JSON in quorvane-host.exe)" \
        /usr/share/doc/nlohmann-json3-dev/copyright
    notice "CLI11 (the command line of quorvane-host.exe)" /usr/share/doc/libcli11-dev/copyright
    notice "mingw-w64 runtime and winpthreads (linked into both programs)" \
        /usr/share/doc/mingw-w64-x86-64-dev/copyright
} >"$files/THIRD-PARTY-NOTICES.txt"

# Text files in Windows line endings, for Notepad.
for text in README.txt LICENSE THIRD-PARTY-NOTICES.txt; do
    sed 's/\r*$/\r/' "$files/$text" >"$files/$text.crlf"
    mv "$files/$text.crlf" "$files/$text"
done

extension_files=$(cd "$files" && find inkscape -type f | sort)
(cd "$files" && sha256sum Quorvane.aip quorvane-host.exe README.txt LICENSE THIRD-PARTY-NOTICES.txt \
    $extension_files >SHA256SUMS)

find "$files" -type d -exec chmod 0755 {} +
find "$files" -type f -exec chmod 0644 {} +
chmod 0755 "$files/Quorvane.aip" "$files/quorvane-host.exe" "$extension/Quorvane.aip" \
    "$extension/quorvane-host.exe"
find "$stage" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

zip="$dist/$name.zip"
rm -f "$zip" "$zip.partial"
(cd "$stage" && find "$name" -type f | sort | zip -X -D -9 -q "$zip.partial" -@)
mv "$zip.partial" "$zip"
cp "$stage/Quorvane.aip.debug" "$dist/"
(cd "$dist" && sha256sum "$name.zip" Quorvane.aip.debug >SHA256SUMS)
echo "make-dist: $zip"
(cd "$dist" && cat SHA256SUMS)
