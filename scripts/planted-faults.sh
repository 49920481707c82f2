#!/bin/bash
# Plants small faults in the stand-in host one at a time and reports which of them the fast
# native tests miss: a measure of whether the tests catch faults, not only of whether they pass.
#
#   scripts/planted-faults.sh [PATCH...]      (default: every scripts/planted-faults/*.patch)
#
# Each patch is a one-line fault, its first line saying what it breaks, then a unified diff
# against the repository's root. The script copies the working tree (the files git tracks or
# would track, as they are now) into $WORK/src, builds it once with the native preset and runs
# the fast subset as a baseline, which must pass; then, for each patch, applies it to the copy,
# builds, runs the subset, and takes the patch back out. The working tree itself is never
# touched, and the copy is restored even when the run is interrupted.
#
# Environment:
#   WORK       where the copy and its build live (default: build/planted-faults)
#   TESTS      ctest -E pattern of the tests left out of the fast subset (default: the style
#              checks, the editor's runs and every tree but the native one)
#   BASELINE   "no" skips the baseline run (when the copy's tests are known to pass)
#   NEW_TESTS  ctest names of the tests that arrived with the fault-kind tests; a fault caught
#              only by them counts as missed "before" (default: the write-order, kept-as-written
#              and option-error tests)
#
# Prints one line per patch (caught by N tests, or MISSED) and a summary, "caught N of M";
# exits 1 when a patch is missed, 2 when the baseline fails or a patch does not apply.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
WORK=${WORK:-$root/build/planted-faults}
TESTS=${TESTS:-'^style\.|^asan\.|^windows\.|^fuzz\.|^debian\.|^inkscape\.|^extensions\.|two-builds'}
NEW_TESTS=${NEW_TESTS:-'write-order|kept-as-written|option-errors'}
if [ $# -eq 0 ]; then
    set -- "$root"/scripts/planted-faults/*.patch
fi
export CCACHE_DIR=${CCACHE_DIR:-/work/.ccache} CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
export CCACHE_NOHASHDIR=1 CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}

src=$WORK/src
applied=""
restore() {
    if [ -n "$applied" ]; then
        patch -s -R -p1 -d "$src" <"$applied" || echo "could not take $applied back out of $src" >&2
        applied=""
    fi
}
trap 'restore; exit 130' INT TERM
trap restore EXIT

mkdir -p "$WORK"
rm -rf "$src.new"
mkdir -p "$src.new"
(cd "$root" && git ls-files -co --exclude-standard -z | grep -zv '^build/' |
    xargs -0 tar -cf - --no-recursion) | tar -xf - -C "$src.new"
# The copy keeps its build tree between runs; only the sources are renewed. A file whose
# contents changed since the last copy is dated now, so that the build sees it (its date in
# the working tree may be older than the objects the last copy built); an unchanged file keeps
# the date it had, so that nothing is rebuilt for it.
if [ -d "$src" ]; then
    (cd "$src.new" && find . -type f -print0) | while IFS= read -r -d '' file; do
        if cmp -s "$src/$file" "$src.new/$file"; then
            touch -r "$src/$file" "$src.new/$file"
        else
            touch "$src.new/$file"
        fi
    done
fi
if [ -d "$src/build" ]; then
    mv "$src/build" "$src.new/build"
fi
rm -rf "$src"
mv "$src.new" "$src"

build_and_test() {  # $1: where the ctest log goes; prints nothing, returns ctest's status
    (cd "$src" && cmake --preset native >/dev/null &&
        cmake --build --preset native -j2 >"$1.build" 2>&1) || return 3
    mkdir -p "$src/build/test-home/tmp"
    (cd "$src" && env HOME="$src/build/test-home" TMPDIR="$src/build/test-home/tmp" \
        ctest --preset native -j2 -E "$TESTS" >"$1" 2>&1)
}

failed_tests() {  # the names of the failed tests in a ctest log
    sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*/\1/p' "$1"
}

log=$WORK/logs
mkdir -p "$log"
if [ "${BASELINE:-yes}" = no ]; then
    echo "baseline: skipped (BASELINE=no)"
elif ! echo "baseline: building the copy and running the fast native tests" ||
    ! build_and_test "$log/baseline"; then
    echo "the baseline fails; see $log/baseline*" >&2
    failed_tests "$log/baseline" >&2
    exit 2
fi

caught=0
caught_before=0
total=0
missed=""
for patch_file in "$@"; do
    name=$(basename "$patch_file" .patch)
    total=$((total + 1))
    if ! patch -s -p1 --dry-run -d "$src" <"$patch_file" >/dev/null; then
        echo "$name: does not apply" >&2
        exit 2
    fi
    patch -s -p1 -d "$src" <"$patch_file"
    applied=$patch_file
    build_and_test "$log/$name"
    status=$?
    restore
    if [ $status -eq 3 ]; then
        echo "$name: does not build (see $log/$name.build): counted as caught"
        caught=$((caught + 1))
        caught_before=$((caught_before + 1))
        continue
    fi
    failures=$(failed_tests "$log/$name")
    count=$(printf '%s' "$failures" | grep -c . || true)
    old=$(printf '%s\n' "$failures" | grep -Ev "$NEW_TESTS" | grep -c . || true)
    if [ "$count" -gt 0 ]; then
        caught=$((caught + 1))
        [ "$old" -gt 0 ] && caught_before=$((caught_before + 1))
        echo "$name: caught by $count tests ($old without the fault-kind tests): $(printf '%s' "$failures" | head -3 | tr '\n' ' ')"
    else
        missed="$missed $name"
        echo "$name: MISSED ($(head -1 "$patch_file"))"
    fi
done
echo "caught $caught of $total ($caught_before of $total without the fault-kind tests: $NEW_TESTS)"
[ -z "$missed" ]
