#!/bin/bash
# Runs one fuzz target from a fixed seed for a while, over a copy of its seed corpus (libFuzzer
# adds what it finds to the first corpus folder; the tree's corpus stays as it is).
#   run-fuzzer.sh TARGET CORPUS SECONDS [libFuzzer options...]
# Exit status: 0 clean, anything else a crash, a sanitizer report or a failed check (never 77,
# which ctest reads as skipped). The input that caused it is printed as base64: the working
# folder, where libFuzzer saves it as crash-*, leak-* or timeout-*, is removed on exit.
set -eu
target=$1 corpus=$2 seconds=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
cp -R "$corpus"/. "$work/corpus/"
cd "$work"
# -seed fixes the run; -timeout turns a hang on one input into a failure; -rss_limit_mb keeps
# a runaway allocation a failure rather than a stalled machine.
status=0
"$target" -seed=1 -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
    -print_final_stats=1 "$@" "$work/corpus" || status=$?
# libFuzzer ends a run that found something with 77, which ctest would count as skipped.
if [ "$status" -eq 77 ]; then
    status=1
fi
if [ "$status" -ne 0 ]; then
    for found in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
        [ -e "$found" ] || continue
        echo "== input that failed, as base64 ($found):"
        base64 "$found" | head -c 20000
        echo
    done
fi
exit "$status"
