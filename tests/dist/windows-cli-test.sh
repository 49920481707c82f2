#!/bin/bash
# Checks of the Windows quorvane-host.exe under Wine with names the ANSI code page cannot
# spell, and of its standard output: one check a run.
#
#   windows-cli-test.sh CHECK FOLDER WORK EXAMPLES EXPECTED PROGRAM EMULATOR...
#
# FOLDER is the folder name the documents sit in ("李 €"), made inside WORK; EXAMPLES and
# EXPECTED are the native tests' examples and expected outputs, which the Windows program
# must match byte for byte. Paths are given relative to WORK, as a user in it would type them.
# Exits 0 (passed), 1 (failed, with the reason on standard error) or 77 (skipped: the check
# cannot be made under this Wine, with the reason).
set -euo pipefail

# Wine turns the arguments and file names of Linux into Windows' UTF-16 by the locale's
# encoding; in a UTF-8 locale its ANSI code page is still 1252, which cannot spell "李".
export LC_ALL=C.UTF-8

check="$1" folder="$2" work="$3" examples="$4" expected="$5" program="$6"
shift 6
emulator=("$@")
rm -rf "$work"
mkdir -p "$work/$folder"
cd "$work"

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

# Runs the program; its output goes to ./.stdout and ./.stderr and its status to $status.
run() {
    set +e
    "${emulator[@]}" "$program" "$@" >.stdout 2>.stderr
    status=$?
    set -e
    echo "\$ quorvane-host.exe $* -> $status" >&2
}

expect_status() {
    if [ "$status" != "$1" ]; then
        echo "--- stdout"; head -c 2000 .stdout; echo "--- stderr"; cat .stderr
        fail "exit status $status, expected $1"
    fi
}

expect_same() {
    cmp "$1" "$2" >&2 || fail "$1 differs from $2"
}

expect_in() {
    grep -qF -- "$2" "$1" || { cat "$1" >&2; fail "$1 does not say: $2"; }
}

case "$check" in

# Every file of a renumber in the folder: the document, the output, the picture and the trace.
renumber-in-folder)
    cp "$examples/festival-posters.json" "$folder/"
    run renumber --by row --output "$folder/out.json" --picture "$folder/picture.svg" \
        --trace "$folder/trace.txt" "$folder/festival-posters.json"
    expect_status 0
    expect_same "$folder/out.json" "$expected/festival-posters.by-row.json"
    expect_in "$folder/picture.svg" "<svg"
    expect_in "$folder/trace.txt" "message SP Interface / Startup"
    expect_in .stdout "$folder/out.json: "
    # In place, through the folder's name, and read back by show.
    cp "$examples/zine-pages.svg" "$folder/"
    run renumber --by column --output "$folder/zine-pages.svg" "$folder/zine-pages.svg"
    expect_status 0
    expect_same "$folder/zine-pages.svg" "$expected/zine-pages.by-column.svg"
    [ "$(ls -A "$folder" | grep -c tmp)" = 0 ] || fail "a temporary file was left behind"
    ;;

# The message for a bad document names it as the user typed it.
bad-document-named)
    cp "$FIXTURES/malformed.json" "$folder/"
    run show "$folder/malformed.json"
    expect_status 2
    expect_in .stderr "quorvane-host: $folder/malformed.json:3: not valid JSON"
    ;;

# The editor's mode: its temporary copy in the folder, the document on standard output with
# the native program's bytes (no LF turned into CRLF).
editor-mode)
    cp "$examples/zine-pages.svg" "$folder/ink_ext_XXXXXX.svgJ4MPZ3"
    run --id=rect1 --inkscape-effect=by-row "$folder/ink_ext_XXXXXX.svgJ4MPZ3"
    expect_status 0
    expect_same .stdout "$expected/zine-pages.by-row.svg"
    cp "$examples/festival-posters.json" "$folder/"
    run renumber --by column --output - "$folder/festival-posters.json"
    expect_status 0
    expect_same .stdout "$expected/festival-posters.by-column.json"
    # A document with CRLF line ends comes out on standard output as it is written to a file.
    sed 's/$/\r/' "$examples/zine-pages.svg" >"$folder/crlf.svg"
    run renumber --by row --output "$folder/crlf.out.svg" "$folder/crlf.svg"
    expect_status 0
    run renumber --by row --output - "$folder/crlf.svg"
    expect_status 0
    expect_same .stdout "$folder/crlf.out.svg"
    ;;

# A module named without a folder is the file in the current folder (here no module at all),
# not the module beside the program; the system's message has no placeholder left in it.
module-in-the-current-folder)
    echo "not a module" >Quorvane.aip
    run menus --module Quorvane.aip
    expect_status 2
    expect_in .stderr "Quorvane.aip: cannot be loaded as a module"
    expect_in .stderr "not a 64-bit Windows module"
    ! grep -q '%1' .stderr || fail "the system's placeholder is left in: $(cat .stderr)"
    run validate --module Quorvane.aip
    expect_status 2
    expect_in .stderr "Quorvane.aip: is not a module: cannot load"
    ;;

# Standard output on a full disk or closed: status 2 and one line, in the editor's mode too.
standard-output-full)
    cp "$examples/zine-pages.svg" "$folder/"
    for arguments in "renumber --by row --output -" "--inkscape-effect=by-row" "show"; do
        set +e
        # shellcheck disable=SC2086 # the arguments are words
        "${emulator[@]}" "$program" $arguments "$folder/zine-pages.svg" >/dev/full 2>.stderr
        status=$?
        set -e
        expect_status 2
        set +e
        # shellcheck disable=SC2086
        "${emulator[@]}" "$program" $arguments "$folder/zine-pages.svg" >&- 2>.stderr
        status=$?
        set -e
        expect_status 2
        expect_in .stderr "standard output could not be written"
        [ "$(wc -l <.stderr)" = 1 ] || fail "the error is not one line: $(cat .stderr)"
    done
    ;;

# validate starts its checks' processes with the module's name in the folder intact.
validate-in-folder)
    cp "$(dirname "$program")/Quorvane.aip" "$folder/"
    run validate --module "$folder/Quorvane.aip" --only renumber-by-row
    expect_status 0
    expect_in .stdout "passed    renumber-by-row"
    ;;

# What may not be replaced is refused as on Linux, with exit 2 and one line naming the file:
# a read-only file (attrib +R) and a file with two names (hard links). Nothing changes.
read-only-and-hard-link-refused)
    for case in "read-only|attrib +R doc.json|it is read-only (its read-only attribute is set)" \
                "hard-linked|ln doc.json other-name.json|it has 2 names (hard links)"; do
        IFS='|' read -r name setup reason <<<"$case"
        mkdir -p "$folder/$name"
        cp "$examples/festival-posters.json" "$folder/$name/doc.json"
        case "$setup" in
            attrib*) (cd "$folder/$name" && "${emulator[@]}" cmd.exe /c "$setup" >/dev/null) ;;
            *) (cd "$folder/$name" && $setup) ;;
        esac
        before=$(ls -A "$folder/$name" | tr '\n' ' ')
        run renumber --by row --output "$folder/$name/doc.json" "$folder/$name/doc.json"
        expect_status 2
        expect_in .stderr "$folder/$name/doc.json: cannot be written: $reason"
        [ "$(wc -l <.stderr)" = 1 ] || fail "the error is not one line: $(cat .stderr)"
        expect_same "$folder/$name/doc.json" "$examples/festival-posters.json"
        [ "$(ls -A "$folder/$name" | tr '\n' ' ')" = "$before" ] || fail "$name: the folder changed"
    done
    [ "$(stat -c %a "$folder/read-only/doc.json")" = 444 ] || fail "the read-only file lost its mark"
    ;;

# The replaced file keeps its attributes (hidden, here): ReplaceFileW, not a new file's.
replaced-file-keeps-its-attributes)
    cp "$examples/festival-posters.json" "$folder/doc.json"
    (cd "$folder" && "${emulator[@]}" cmd.exe /c "attrib +H doc.json" >/dev/null)
    run renumber --by row --output "$folder/doc.json" "$folder/doc.json"
    expect_status 0
    expect_same "$folder/doc.json" "$expected/festival-posters.by-row.json"
    (cd "$folder" && "${emulator[@]}" cmd.exe /c "attrib doc.json") >.attributes
    grep -q '^A* *H' .attributes || fail "doc.json lost its hidden attribute: $(cat .attributes)"
    ;;

# A temporary a killed run left (its process is gone) is removed by the next run on the file;
# another file's stays.
abandoned-temporary-removed)
    cp "$examples/festival-posters.json" "$folder/doc.json"
    head -c 100000 /dev/zero >"$folder/.doc.json.999999-585325.tmp"
    head -c 10 /dev/zero >"$folder/.other.json.999999-585325.tmp"
    run renumber --by row --output "$folder/doc.json" "$folder/doc.json"
    expect_status 0
    [ ! -e "$folder/.doc.json.999999-585325.tmp" ] || fail "the abandoned temporary is still there"
    [ -e "$folder/.other.json.999999-585325.tmp" ] || fail "another file's temporary was removed"
    ;;

# An output that is a link: followed as on Linux where the Windows program sees a link.
output-link-followed)
    cp "$examples/festival-posters.json" "$folder/target.json"
    ln -s target.json "$folder/link.json"
    (cd "$folder" && "${emulator[@]}" cmd.exe /c "dir link.json") >.listing 2>&1 || true
    if ! grep -q '<SYMLINK\|<JUNCTION' .listing; then
        echo "SKIPPED: $(wine --version 2>/dev/null || echo Wine) shows a Unix symbolic link to a Windows program as the file it names (no FILE_ATTRIBUTE_REPARSE_POINT), and its mklink makes no link; the reparse-point path cannot be exercised here" >&2
        exit 77
    fi
    run renumber --by row --output "$folder/link.json" "$folder/target.json"
    expect_status 0
    [ -L "$folder/link.json" ] || fail "link.json was replaced by a plain file"
    expect_same "$folder/target.json" "$expected/festival-posters.by-row.json"
    ;;

*)
    fail "no check called $check"
    ;;
esac
