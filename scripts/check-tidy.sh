#!/bin/sh
# Runs clang-tidy with the root .clang-tidy over the project's own sources, as the native build
# compiles them, and fails on any finding (.clang-tidy makes every warning an error).
#   scripts/check-tidy.sh SOURCE BUILD [CLANG_TIDY]
# BUILD is the native build tree (its compile_commands.json). The module's and the stand-in
# host's sources are checked (frame, host, renumber, about, hostsim with its tool), and for
# their names the tests and benchmarks, and the fuzz targets as the fuzz tree beside BUILD
# compiles them when it has been configured (tests/, bench/ and fuzz/ have a .clang-tidy that
# keeps only the naming check); two files at a time. Exits 77 (skipped) when clang-tidy is not
# installed.
set -eu
source=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
clang_tidy=${3:-}
if [ -z "$clang_tidy" ]; then
    clang_tidy=$(command -v clang-tidy || command -v clang-tidy-14 || true)
fi
if [ -z "$clang_tidy" ]; then
    echo "SKIPPED: clang-tidy is not installed" >&2
    exit 77
fi
if [ ! -f "$build/compile_commands.json" ]; then
    echo "FAILED: $build/compile_commands.json is missing (configure the native tree first)" >&2
    exit 1
fi

# clang reads GCC's command lines, less the GCC-only options it refuses.
database="$build/tidy"
mkdir -p "$database"
sed -e 's/ -fno-gnu-unique//g' "$build/compile_commands.json" >"$database/compile_commands.json"

cd "$source"
files=$(grep -o '"file": *"[^"]*"' "$database/compile_commands.json" |
    sed 's/"file": *"\(.*\)"/\1/' | sort -u |
    grep -E "^$source/(frame|host|renumber|about|hostsim|tests|bench)/" || true)
count=$(echo "$files" | grep -c . || true)
if [ "$count" = 0 ]; then
    echo "FAILED: no source of the project in $build/compile_commands.json" >&2
    exit 1
fi
# clang-tidy counts the warnings it hid (those outside our code) on every file; not shown.
# The fuzz targets are compiled by the fuzz tree alone (clang, libFuzzer).
fuzz_database=""
fuzz_files=""
if [ -f "$build/../fuzz/compile_commands.json" ]; then
    fuzz_database=$(cd "$build/../fuzz" && pwd)
    fuzz_files=$(grep -o '"file": *"[^"]*"' "$fuzz_database/compile_commands.json" |
        sed 's/"file": *"\(.*\)"/\1/' | sort -u | grep -E "^$source/fuzz/" || true)
    count=$((count + $(echo "$fuzz_files" | grep -c . || true)))
fi
echo "$("$clang_tidy" --version | grep -i version | head -1): checking $count files"
{
    status=0
    echo "$files" | tr '\n' '\0' |
        xargs -0 -n 4 -P 2 "$clang_tidy" -p "$database" --quiet \
            --extra-arg=-Wno-unknown-warning-option || status=$?
    if [ -n "$fuzz_database" ] && [ -n "$fuzz_files" ]; then
        echo "$fuzz_files" | tr '\n' '\0' |
            xargs -0 -n 4 -P 2 "$clang_tidy" -p "$fuzz_database" --quiet \
                --extra-arg=-Wno-unknown-warning-option || status=$?
    fi
    echo "$status" >"$database/status"
} 2>&1 | grep -v '^[0-9]* warnings\{0,1\} generated\.$' || true
if [ "$(cat "$database/status")" != 0 ]; then
    echo "FAILED: clang-tidy found the problems above" >&2
    exit 1
fi
echo "all $count files clean"
