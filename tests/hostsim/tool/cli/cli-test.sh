#!/bin/bash
# End-to-end checks of quorvane-host through the real module: one check a run.
#
#   cli-test.sh CHECK [ARGUMENTS...]
#
# The environment names what the checks use (CMakeLists.txt sets it):
#   QUORVANE_HOST  the program          WORK      an empty directory of this check's own
#   EXAMPLES       examples/            EXPECTED  tests/hostsim/tool/expected/
#   FIXTURES       tests/hostsim/tool/inputs/   INKSCAPE, PDFINFO, PDFTOTEXT, RSVG  tools, or empty
# Every check runs in $WORK on copies, names files relatively (so messages are stable), and
# exits 0 (passed), 1 (failed, with the reason on standard error) or 77 (skipped).
set -euo pipefail

check="$1"
shift
. "$(dirname "${BASH_SOURCE[0]}")/check-lib.sh"

# as_pages: the artboards of a show table in the host's coordinates (on standard input) as
# "NUMBER X Y WIDTH HEIGHT" lines, y pointing down.
as_pages() {
    tail -n +2 | awk '{ printf "%s %g %g %g %g\n", $1, $(NF - 3), -$(NF - 2), $(NF - 1) - $(NF - 3),
                        $(NF - 2) - $NF }'
}

# A listing of every file here with its checksum, to see that nothing changed or appeared.
snapshot() {
    find . -type f ! -name '.stdout' ! -name '.stderr' ! -name '.snapshot*' -print0 |
        sort -z | xargs -0 -r sha256sum
    # Links, pipes and the like, with what they point at.
    find . ! -type f ! -type d -printf '%y %p %l\n' | sort
}

# Hostile documents, made where they are needed rather than kept in the tree.
# nested FILE DEPTH: a JSON document with one value nested DEPTH lists deep beside its list.
nested() {
    { printf '{"artboards": [], "deep": '
      head -c "$2" /dev/zero | tr '\0' '['
      head -c "$2" /dev/zero | tr '\0' ']'
      printf '}\n'; } >"$1"
}
# numerous FILE COUNT: a JSON document of COUNT artboards.
numerous() {
    { printf '{"artboards": ['
      awk -v n="$(($2 - 1))" \
          'BEGIN { for (i = 0; i < n; i++) printf "{\"name\": \"A\", \"bounds\": [0, 1, 1, 0]}," }'
      printf '{"name": "A", "bounds": [0, 1, 1, 0]}]}\n'; } >"$1"
}

# exported_pages SVG: "WIDTHxHEIGHT NAME" for each page of the editor's PDF export, in order.
exported_pages() {
    [ -n "$INKSCAPE" ] && [ -n "$PDFINFO" ] && [ -n "$PDFTOTEXT" ] ||
        skip "the vector editor or poppler-utils is not installed"
    local pdf="${1%.svg}.pdf"
    HOME="$WORK" "$INKSCAPE" --export-type=pdf --export-filename="$pdf" "$1" 2>/dev/null ||
        fail "the editor could not export $1"
    local count
    count=$("$PDFINFO" "$pdf" | awk '/^Pages:/ {print $2}')
    for ((page = 1; page <= count; page++)); do
        local size name
        size=$("$PDFINFO" -f "$page" -l "$page" "$pdf" | awk '/^Page.*size:/ {print $4 "x" $6}')
        name=$("$PDFTOTEXT" -f "$page" -l "$page" "$pdf" - | tr -s '\f\n' ' ' | sed 's/ *$//')
        echo "$size $name"
    done
}

case "$check" in

# renumber-matches-expected EXAMPLE ORDER: the written document equals the expected one,
# warnings included, and the input is untouched.
renumber-matches-expected)
    example="$1" order="$2"
    extension="${example##*.}"
    base="${example%.*}"
    cp "$EXAMPLES/$example" .
    run renumber --by "$order" "$example" --output "out.$extension"
    expect_status 0
    expect_same "out.$extension" "$EXPECTED/$base.by-$order.$extension"
    expect_same "$example" "$EXAMPLES/$example"
    if [ -f "$EXPECTED/$base.by-$order.warnings" ]; then
        expect_same .stderr "$EXPECTED/$base.by-$order.warnings"
    else
        expect_empty_stderr
    fi
    ;;

# renumber-prints-table EXAMPLE ORDER: without --output the new numbering is printed.
renumber-prints-table)
    example="$1" order="$2"
    cp "$EXAMPLES/$example" .
    run renumber --by "$order" "$example"
    expect_status 0
    expect_same .stdout "$EXPECTED/${example%.*}.by-$order.table"
    expect_same "$example" "$EXAMPLES/$example"
    [ "$(ls)" = "$example" ] || fail "wrote files without --output: $(ls)"
    ;;

# show-prints-current-numbering EXAMPLE: the table and both orders' near-misses.
show-prints-current-numbering)
    example="$1"
    cp "$EXAMPLES/$example" .
    run show "$example"
    expect_status 0
    expect_same .stdout "$EXPECTED/${example%.*}.show"
    if [ -f "$EXPECTED/${example%.*}.show.warnings" ]; then
        expect_same .stderr "$EXPECTED/${example%.*}.show.warnings"
    else
        expect_empty_stderr
    fi
    ;;

# output-may-be-the-input EXAMPLE ORDER: the document is replaced by its renumbering, and
# nothing else is left in the directory.
output-may-be-the-input)
    example="$1" order="$2"
    extension="${example##*.}"
    cp "$EXAMPLES/$example" .
    run renumber --by "$order" --output "$example" "$example"
    expect_status 0
    expect_same "$example" "$EXPECTED/${example%.*}.by-$order.$extension"
    [ "$(ls -A | grep -v '^\.std')" = "$example" ] || fail "left files behind: $(ls -A)"
    ;;

# trace-streams-every-call EXAMPLE: --trace writes each message and host call as it happens,
# the calls numbered 1, 2, ... without a gap, from the start-up to the shut-down's answer.
trace-streams-every-call)
    example="$1"
    cp "$EXAMPLES/$example" .
    run renumber --by row --trace trace.txt "$example"
    expect_status 0
    [ "$(head -n 1 trace.txt)" = "message SP Interface / Startup" ] || fail "first: $(head -n 1 trace.txt)"
    [ "$(tail -n 1 trace.txt)" = "message SP Interface / Shutdown -> 0" ] || fail "last: $(tail -n 1 trace.txt)"
    expect_in trace.txt "AI Artboard Suite #19 UpdateArtboard(list=&artboard-list#1, index=0, set="
    numbers=$(grep -oE '^[0-9]+ ' trace.txt | tr -d ' ')
    [ "$numbers" = "$(seq 1 "$(echo "$numbers" | wc -l)")" ] || fail "calls missing from the trace"
    ;;

# dry-run-writes-nothing EXAMPLE: the table is printed, neither output nor picture appears.
dry-run-writes-nothing)
    example="$1"
    cp "$EXAMPLES/$example" .
    before=$(snapshot)
    run renumber --by row --dry-run --output out.json --picture picture.svg "$example"
    expect_status 0
    expect_in .stdout "dry run, nothing written"
    expect_same .stdout <(cat "$EXPECTED/${example%.*}.by-row.table"; tail -n 1 .stdout)
    [ "$(snapshot)" = "$before" ] || fail "the dry run changed the directory: $(ls -A)"
    ;;

# unchanged-round-trip-is-identical FILE ORDER: a document already in order comes back
# byte for byte, whether it is our own layout or not.
unchanged-round-trip-is-identical)
    source="$1" order="$2"
    cp "$source" in."${source##*.}"
    run renumber --by "$order" --output out."${source##*.}" in."${source##*.}"
    expect_status 0
    expect_in .stdout "0 of "
    expect_same out."${source##*.}" "$source"
    ;;

# converts-between-formats EXAMPLE: renumbered into an SVG file and from there into JSON,
# the artboards stay those of the expected JSON output.
converts-between-formats)
    example="$1"
    cp "$EXAMPLES/$example" .
    cp "$EXPECTED/${example%.*}.by-row.json" expected.json
    run show expected.json
    mv .stdout expected.table
    run renumber --by row --output pages.svg "$example"
    expect_status 0
    run show pages.svg
    # The SVG's table gives x, y (pointing down), width and height, as the editor shows them.
    as_pages <expected.table >expected.pages
    tail -n +2 .stdout | awk '{ printf "%s %g %g %g %g\n", $1, $(NF - 3), $(NF - 2), $(NF - 1), $NF }' \
        >shown.pages
    expect_same shown.pages expected.pages
    run renumber --by column --output back.json pages.svg
    expect_status 0
    run renumber --by row --output back.json back.json
    expect_status 0
    run show back.json
    expect_same .stdout expected.table
    ;;

# pages-are-the-editors DOCUMENT: the program reads as many pages as the vector editor
# exports, with labels as the editor shows them, and renumbers the document into one the
# editor exports with as many pages.
pages-are-the-editors)
    cp "$1" document.svg
    run show document.svg
    expect_status 0
    ours=$(($(wc -l <.stdout) - 1))
    editors=$(exported_pages document.svg | wc -l)
    [ "$ours" = "$editors" ] || fail "read $ours pages, the editor exports $editors"
    expect_in .stdout "Cover"
    run renumber --by row --output renumbered.svg document.svg
    expect_status 0
    [ "$(exported_pages renumbered.svg | wc -l)" = "$editors" ] || fail "renumbered pages lost"
    run show renumbered.svg
    expect_in .stdout "Cover"
    ;;

# exported-pages-follow-the-new-order EXAMPLE ORDER: the vector editor's PDF export of the
# renumbered file has its pages (told apart by size and text) in the new order.
exported-pages-follow-the-new-order)
    example="$1" order="$2"
    cp "$EXAMPLES/$example" .
    run renumber --by "$order" --output renumbered.svg "$example"
    expect_status 0
    exported_pages renumbered.svg >pages.txt
    expect_same pages.txt "$EXPECTED/${example%.*}.by-$order.pages"
    ;;

# converted-svg-exports-every-page-at-its-size JSON: a JSON document written as SVG is one
# the vector editor exports page by page, each page at its artboard's size (the editor's
# user unit is 0.75 pt). The editor gives the page at the origin the document's size.
converted-svg-exports-every-page-at-its-size)
    cp "$1" in.json
    run renumber --by row --output pages.svg in.json
    expect_status 0
    exported_pages pages.svg | cut -d ' ' -f 1 >pages.txt
    run show pages.svg
    awk 'NR > 1 { printf "%gx%g\n", $(NF - 1) * 0.75, $NF * 0.75 }' \
        .stdout >sizes.txt
    expect_same pages.txt sizes.txt
    ;;

# picture-renders EXAMPLE: the picture is well-formed SVG that the vector editor (and
# librsvg, when installed) turn into an image.
picture-renders)
    example="$1"
    cp "$EXAMPLES/$example" .
    run renumber --by row --picture picture.svg "$example"
    expect_status 0
    expect_in .stdout "picture: picture.svg"
    expect_in picture.svg "was "
    [ -n "$INKSCAPE" ] || skip "the vector editor is not installed"
    HOME="$WORK" "$INKSCAPE" --export-type=png --export-filename=picture.png picture.svg \
        2>/dev/null || fail "the editor could not draw the picture"
    [ -s picture.png ] || fail "the editor drew nothing"
    if [ -n "$RSVG" ]; then
        "$RSVG" picture.svg >picture-rsvg.png || fail "librsvg could not draw the picture"
    fi
    ;;

# no-artboards-is-fine: a document without artboards is renumbered without complaint.
no-artboards-is-fine)
    cp "$FIXTURES/no-artboards.json" .
    run renumber --by row --output out.json no-artboards.json
    expect_status 0
    expect_in .stdout "0 of 0 artboards renumbered"
    expect_same out.json no-artboards.json
    ;;

# picture-is-current EXAMPLE ORDER: the picture kept beside the example (docs/quorvane-host.md shows it)
# is the one the program draws now.
picture-is-current)
    example="$1" order="$2"
    cp "$EXAMPLES/$example" .
    run renumber --by "$order" --picture picture.svg "$example"
    expect_status 0
    expect_same picture.svg "$EXAMPLES/${example%.*}.by-$order.picture.svg"
    ;;

menus-after-startup)
    run menus
    expect_status 0
    expect_same .stdout "$EXPECTED/menus.txt"
    expect_empty_stderr
    ;;

about-shows-the-alert)
    run about
    expect_status 0
    expect_in .stdout "Quorvane"
    expect_empty_stderr
    ;;

help-on-every-command)
    for command in "" renumber show menus about; do
        run $command --help
        expect_status 0
        expect_in .stdout "Usage: "
    done
    run --version
    expect_status 0
    grep -qE '^quorvane-host [0-9]+\.[0-9]+\.[0-9]+$' .stdout || fail "version: $(cat .stdout)"
    ;;

# dialog-preview-is-silent: the dialog effect as live preview runs it, once at every step of the
# tolerance, with the parameters the editor passes by default: each run renumbers and leaves
# standard error (a message box in the editor) empty. Naming the pages puts the new numbers
# on the canvas's labels.
dialog-preview-is-silent)
    cp "$FIXTURES/near-aligned-screens.svg" "$EXAMPLES/brand-kit-near-miss.json" .
    for tolerance in 1 1.1 1.2 1.3 1.4 1.5; do
        for document in near-aligned-screens.svg brand-kit-near-miss.json; do
            run --inkscape-effect=custom --order=rows --horizontal=left-to-right \
                --vertical=top-down --tolerance=$tolerance --names=keep --warnings=false \
                --id=rect1 "$document"
            expect_status 0
            expect_empty_stderr
            [ -s .stdout ] || fail "no document on standard output"
        done
    done
    run --inkscape-effect=custom --order=rows --horizontal=left-to-right --vertical=top-down \
        --tolerance=2 --names=page-number --warnings=false near-aligned-screens.svg
    expect_status 0
    expect_empty_stderr
    labels=$(grep -o 'inkscape:label="[^"]*"' .stdout | paste -sd'|')
    [ "$labels" = 'inkscape:label="Page 1"|inkscape:label="Page 2"|inkscape:label="Page 3"' ] ||
        fail "labels: $labels"
    # Asked for, warnings name the pages as the user knows them.
    run --inkscape-effect=custom --order=rows --tolerance=0 --warnings=true \
        near-aligned-screens.svg
    expect_status 0
    expect_in .stderr 'Quorvane: "Website Download Splash" (page 1) and "About Screen" (page 2)'
    ;;

# renamed DOCUMENT ORDER PATTERN NAMES: renumber --rename PATTERN names the pages NAMES
# ("A|B|C"), in the output and in the table of a dry run.
renamed)
    document="$1" order="$2" pattern="$3" names="$4"
    cp "$EXAMPLES/$document" .
    run renumber --by "$order" --rename "$pattern" "$document" -o "out.${document##*.}"
    expect_status 0
    run show "out.${document##*.}"
    expect_status 0
    shown=$(tail -n +2 .stdout | awk '{$1=""; NF-=4; sub(/^ /, ""); print}' | paste -sd'|')
    [ "$shown" = "$names" ] || fail "names: $shown, expected $names"
    run renumber --by "$order" --rename "$pattern" "$document" --dry-run
    expect_status 0
    expect_in .stdout "${names%%|*}"
    ;;

# escaped: every text the user gave is escaped where it is printed: a file name in warnings,
# the summary line and the picture line, and an option value in the option parser's errors.
escaped)
    cp "$EXAMPLES/brand-kit-near-miss.json" "$(printf 'near\nmiss.json')"
    run renumber --by row "$(printf 'near\nmiss.json')" -o "$(printf 'o\033[2Jut.json')" \
        --picture "$(printf 'p\tic.svg')"
    expect_status 0
    expect_in .stderr 'quorvane-host: warning: near\nmiss.json: artboards'
    expect_in .stdout 'o\u001B[2Jut.json: '
    expect_in .stdout 'picture: p\tic.svg'
    [ "$(grep -vc '^quorvane-host: warning: ' .stderr)" = 0 ] || fail "a warning was split"
    for value in "$(printf '\033[31m')" "$(printf 'a\nb')"; do
        run renumber --by row --tolerance "$value" "$(printf 'near\nmiss.json')"
        expect_status 2
        expect_in .stderr '(see quorvane-host --help)'
        [ "$(wc -l <.stderr)" = 1 ] || fail "the parser's error is not one line: $(cat .stderr)"
        run renumber --by "$value" "$(printf 'near\nmiss.json')"
        expect_status 2
        [ "$(wc -l <.stderr)" = 1 ] || fail "the parser's error is not one line: $(cat .stderr)"
    done
    if LC_ALL=C grep -q "$(printf '\033')" .stdout .stderr; then
        fail "a raw escape reached the terminal"
    fi
    ;;

# help-matches-the-docs FILE...: each FILE (the man page, the zip's README.txt, the docs)
# names every option that some command's --help lists, and no option that none lists.
help-matches-the-docs)
    : >program.options
    for command in renumber show menus about validate; do
        run $command --help
        expect_status 0
        grep -E '^ +-' .stdout | grep -oE -- '--[a-z][a-z-]*' >>program.options || true
    done
    { cat program.options; echo --help; echo --version; } | sort -u >known.options
    grep -vxF -e --help program.options | sort -u >listed.options
    [ "$(wc -l <listed.options)" -ge 10 ] || fail "--help lists too few options: $(cat listed.options)"
    for document in "$@"; do
        # The man page writes a dash as \-.
        sed 's/\\-/-/g' "$document" | grep -oE -- '--[a-z][a-z-]*' | sort -u >document.options
        missing=$(comm -23 listed.options document.options | paste -sd' ')
        [ -z "$missing" ] || fail "$document does not mention $missing, which --help lists"
        unknown=$(comm -13 known.options document.options | paste -sd' ')
        [ -z "$unknown" ] || fail "$document mentions $unknown, which no command has"
    done
    ;;

# docs-commands-run FILE...: every shell block of FILE tagged "sh runnable" runs, line by
# line and stopping at the first failure, in an empty folder with quorvane-host on the PATH
# and the installed examples' folder standing for the examples the Debian package installs.
docs-commands-run)
    blocks=0
    export PATH="$(dirname "$QUORVANE_HOST"):$PATH"
    mkdir installed-examples
    while read -r example; do
        cp "$EXAMPLES/../$example" installed-examples/
    done <"$EXAMPLES/../debian/quorvane.examples"
    for document in "$@"; do
        awk -v out="$WORK/block" '
            /^ *```sh runnable *$/ { n++; inside = 1; next }
            inside && /^ *```/ { inside = 0; next }
            inside { sub(/^ +/, ""); print > (out "." n ".sh") }' "$document"
        for block in "$WORK"/block.*.sh; do
            [ -e "$block" ] || continue
            blocks=$((blocks + 1))
            sed -i "s|/usr/share/doc/quorvane/examples/|$WORK/installed-examples/|g" "$block"
            rm -rf run && mkdir run
            echo "--- $document:" >&2
            cat "$block" >&2
            (cd run && bash -euo pipefail "$block" >../block.out 2>&1) || {
                cat block.out >&2
                fail "a runnable command of $document failed"
            }
            rm "$block"
        done
    done
    [ "$blocks" -gt 0 ] || fail "no shell block is marked runnable in $*"
    ;;

# view-order DOCUMENT NAMES ARGUMENTS...: renumber ARGUMENTS on a copy of the fixture DOCUMENT
# (written as JSON) puts the artboards in the order NAMES ("A|B|C"); the input is untouched.
view-order)
    document="$1" names="$2"
    shift 2
    cp "$FIXTURES/$document" .
    run renumber "$@" "$document" --output out.json
    expect_status 0
    expect_same "$document" "$FIXTURES/$document"
    order=$(sed -n 's/^ *{"name": "\([^"]*\)".*/\1/p' out.json | paste -sd'|')
    [ "$order" = "$names" ] || fail "order: $order, expected $names"
    ;;

# same-as-without DOCUMENT ORDER ARGUMENTS...: ARGUMENTS (a view that is the document itself)
# give the same output, table and host calls as renumber without them.
same-as-without)
    document="$1" order="$2"
    shift 2
    cp "$FIXTURES/$document" .
    run renumber --by "$order" "$document" --trace plain.trace --output plain.json
    expect_status 0
    run renumber --by "$order" "$@" "$document" --trace view.trace --output view.json
    expect_status 0
    expect_same view.json plain.json
    expect_same view.trace plain.trace
    ;;

# show-prints-view-order: show under a view prints the module's order with the 'was' column,
# draws it with its rows as bands, and changes no document.
show-prints-view-order)
    cp "$FIXTURES/near-aligned-screens.svg" .
    run show --by row --tolerance 2 near-aligned-screens.svg --picture view.svg
    expect_status 0
    expect_in .stdout "  2  Website Download Splash  800.33966  -1.2340232    2"
    expect_in view.svg "near-aligned-screens.svg: 0 of 3 renumbered by row, tolerance 2"
    expect_in view.svg "<title>row 1</title>"
    expect_same near-aligned-screens.svg "$FIXTURES/near-aligned-screens.svg"
    ;;

# to-standard-output EXAMPLE NAME ORDER STDERR ARGUMENTS...: EXAMPLE copied to NAME (a name
# that may not say its format, as the editor's temporary files) and renumbered by ORDER with
# ARGUMENTS; standard output holds the expected document alone, standard error is STDERR
# (- for nothing).
to-standard-output)
    example="$1" name="$2" order="$3" stderr="$4"
    shift 4
    cp "$EXAMPLES/$example" "$name"
    run "$@" "$name"
    expect_status 0
    expect_same .stdout "$EXPECTED/${example%.*}.by-$order.${example##*.}"
    if [ "$stderr" != - ]; then
        expect_same .stderr <(echo "$stderr")
    else
        expect_empty_stderr
    fi
    ;;

# editor-failure MESSAGE DOCUMENT ARGUMENTS...: run as the editor runs the extension on a
# document it cannot renumber, nothing reaches standard output (so the editor keeps the
# document) and standard error is the one line MESSAGE, without the temporary file's name.
editor-failure)
    message="$1"
    cp "$FIXTURES/$2" ink_ext_XXXXXX.svgJ4MPZ3
    shift 2
    run "$@" ink_ext_XXXXXX.svgJ4MPZ3
    [ "$status" != 0 ] || fail "a failure ended with status 0"
    [ ! -s .stdout ] || fail "a failure wrote to standard output: $(head -c 200 .stdout)"
    expect_same .stderr <(echo "$message")
    ;;

# bad-input STATUS MESSAGE ARGUMENTS...: the program ends with STATUS and one line on standard
# error that holds MESSAGE; every file is as it was and none has appeared.
# bad-input STATUS MESSAGE --setup COMMAND ARGUMENTS...: COMMAND (a line of shell) makes the
# hostile files first; --memory KB limits the program's memory.
# deep-svg-is-read DEPTH: an SVG page beside a group nested DEPTH deep is read, as the
# editor reads it; the program's own code does not recurse over the nesting.
deep-svg-is-read)
    { printf '<svg xmlns="http://www.w3.org/2000/svg" xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd">'
      printf '<sodipodi:namedview><inkscape:page width="5" height="7" inkscape:label="Deep"/></sodipodi:namedview>'
      awk -v n="$1" 'BEGIN { for (i = 0; i < n; i++) printf "<g>"; for (i = 0; i < n; i++) printf "</g>" }'
      printf '</svg>\n'; } >deep.svg
    run show deep.svg
    expect_status 0
    expect_in .stdout "Deep"
    ;;
bad-input)
    expected_status="$1" message="$2"
    shift 2
    cp "$FIXTURES"/* .
    cp "$EXAMPLES"/* .
    mkdir folder.json
    if [ "${1:-}" = --setup ]; then
        eval "$2"
        shift 2
    fi
    memory=unlimited
    if [ "${1:-}" = --memory ]; then
        memory=$2
        shift 2
    fi
    # CMake drops empty arguments; @EMPTY@ stands for one.
    arguments=()
    for argument in "$@"; do
        arguments+=("${argument/#@EMPTY@/}")
    done
    set -- "${arguments[@]}"
    before=$(snapshot)
    (ulimit -v "$memory" && run "$@" && echo "$status" >.status)
    status=$(cat .status 2>/dev/null || echo "none")
    rm -f .status
    expect_status "$expected_status"
    expect_in .stderr "$message"
    [ "$(grep -vc '^quorvane-host: warning: ' .stderr)" = 1 ] ||
        fail "the error is not one line: $(cat .stderr)"
    [ "$(snapshot)" = "$before" ] || fail "files changed: $(diff <(echo "$before") <(snapshot))"
    ;;

# Names that hold control characters: shown escaped in tables, drawn escaped in the picture,
# which stays well-formed XML.
control-characters-are-escaped)
    printf '{"artboards": [{"name": "\\u001b[31mRed\\u0001\\nforged", "bounds": [0, 10, 10, 0]},
        {"name": "B", "bounds": [20, 10.5, 30, 0]}]}\n' >control.json
    run show control.json --picture picture.svg
    expect_status 0
    ! grep -q $'\x1b' .stdout .stderr || fail "an escape character reached the terminal"
    expect_in .stdout '\u001B[31mRed\u0001\nforged'
    expect_in .stderr '\u001B[31mRed\u0001\nforged'
    [ "$(grep -vc '^quorvane-host: warning: ' .stderr)" = 0 ] ||
        fail "a warning runs over more than one line: $(cat .stderr)"
    xmllint --noout picture.svg || fail "the picture is not well-formed XML"
    ;;

# A legal output name of 250 bytes is written, however long its temporary name would be.
long-output-name)
    cp "$EXAMPLES/festival-posters.json" .
    name="$(head -c 245 /dev/zero | tr '\0' 'n').json"
    run renumber --by row festival-posters.json --output "$name"
    expect_status 0
    [ -f "$name" ] || fail "the output was not written"
    [ "$(ls -A | grep -c tmp)" = 0 ] || fail "a temporary file was left behind"
    ;;

# What converting JSON to SVG leaves behind is said; what stays JSON keeps its text exactly.
keys-left-behind-are-named)
    printf '{"version": 3, "artboards": [{"name": "A", "bounds": [0, 10, 10, 0], "id": 123456789012345678901234567890}]}\n' >keys.json
    run renumber --by row keys.json --output keys.svg
    expect_status 0
    expect_in .stderr 'left behind: "version", artboard 1 "id"'
    run renumber --by row keys.json --output again.json
    expect_status 0
    expect_in again.json '"id": 123456789012345678901234567890'
    ;;

# module-is-a-file-path: a module named without a folder is the file of that name in the
# current folder, however the system's loader would look the name up.
module-is-a-file-path)
    cp "$(dirname "$QUORVANE_HOST")/Quorvane.so" Q.so
    run menus --module Q.so
    expect_status 0
    expect_same .stdout "$EXPECTED/menus.txt"
    ;;

# standard-output-fails full|closed MESSAGE ARGUMENTS...: with standard output on a full disk
# or closed, the program ends with status 2 and one line on standard error saying so, and
# changes no file.
standard-output-fails)
    how="$1" message="$2"
    shift 2
    cp "$EXAMPLES"/festival-posters.json .
    before=$(snapshot)
    set +e
    if [ "$how" = full ]; then
        "$QUORVANE_HOST" "$@" >/dev/full 2>.stderr
    else
        "$QUORVANE_HOST" "$@" >&- 2>.stderr
    fi
    status=$?
    set -e
    expect_status 2
    expect_in .stderr "$message"
    expect_in .stderr "standard output could not be written"
    [ "$(wc -l <.stderr)" = 1 ] || fail "the error is not one line: $(cat .stderr)"
    [ "$(snapshot)" = "$before" ] || fail "files changed: $(diff <(echo "$before") <(snapshot))"
    ;;

*)
    fail "no check called $check"
    ;;
esac
