#!/bin/bash
# The extension in the real editor, headless: one check a run.
#
#   editor-test.sh CHECK [ARGUMENTS...]
#
# The environment (CMakeLists.txt sets it):
#   BIN       the program and the module    EXTENSION  extensions/inkscape/
#   WORK      an empty directory of this check's own
#   EXAMPLES, EXPECTED, INPUTS              examples/, the command line's expected/ and inputs/
# Each check builds the extension folder from BIN and installs it into a private profile in
# $WORK, as `make install-inkscape` does. Exit: 0 passed, 1 failed, 77 skipped.
set -euo pipefail

check="$1"
shift
rm -rf "$WORK"
mkdir -p "$WORK"
cd "$WORK"
export INKSCAPE_PROFILE_DIR="$WORK/profile"
here=$(cd "$(dirname "$0")" && pwd)

fail() {
    echo "FAILED: $*" >&2
    exit 1
}

need() {
    for tool; do
        command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed" >&2; exit 77; }
    done
}

install_extension() {
    need inkscape
    "$EXTENSION/extension.sh" build "$BIN" quorvane-host Quorvane.so folder >/dev/null
    "$EXTENSION/extension.sh" install folder >/dev/null
}

# preferences YAXISDOWN [ATTRIBUTE...]: the private profile's preferences, before the editor
# first runs: its y-axis pointing down (1) or up (0), and the dialog's last choices as the
# editor keeps them, attributes of its "extensions" group
# (org.quorvane.renumber.custom.tolerance="2").
preferences() {
    local yaxisdown="$1"
    shift
    mkdir -p "$INKSCAPE_PROFILE_DIR"
    cat >"$INKSCAPE_PROFILE_DIR/preferences.xml" <<EOF
<?xml version="1.0" encoding="UTF-8" standalone="no"?>
<inkscape version="1" xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd"
  xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape">
  <group id="options" yaxisdown="$yaxisdown"><group id="yaxisdown" value="$yaxisdown"/></group>
  <group id="extensions" $*/>
</inkscape>
EOF
}

# edit DOCUMENT COMMAND [THEN]: opens DOCUMENT in the editor with its window on a virtual
# display, chooses the menu command (then the editor's action THEN), and exports the result
# as out.pdf. Message boxes are clicked
# away and noted in boxes.log. The editor gets a minute; a hang fails the check.
edit() {
    need xvfb-run xauth python3 pdfinfo
    rm -f out.pdf boxes.log
    touch boxes.log
    set +e
    rm -f xvfb.pid
    # The X server listens on its abstract socket only, so that it leaves no folder in /tmp.
    timeout -k 10 60 xvfb-run -a -s '-screen 0 1280x1024x24 -nolisten unix' sh -c '
        cat "/tmp/.X${DISPLAY#*:}-lock" >xvfb.pid 2>/dev/null
        python3 "$0" boxes.log & closer=$!
        inkscape --with-gui --batch-process \
            --actions="org.quorvane.renumber.$1.noprefs;$3export-filename:out.pdf;export-do" "$2"
        status=$?
        kill $closer
        exit $status' "$here/close-message-boxes.py" "$2" "$1" "${3:+$3;}" >editor.log 2>&1
    local status=$?
    set -e
    wait_for_x_server
    [ "$status" != 124 ] && [ "$status" != 137 ] || fail "the editor did not finish in a minute"
    [ "$status" = 0 ] || { cat editor.log >&2; fail "the editor ended with status $status"; }
    [ -s out.pdf ] || { cat editor.log >&2; fail "the editor exported nothing"; }
}

# xvfb-run stops its X server without waiting for it to go: wait (ten seconds at most, then
# kill it), so that nothing a check started is still running when the check ends.
wait_for_x_server() {
    local server
    server=$(tr -d ' \n' <xvfb.pid 2>/dev/null || true)
    [ -n "$server" ] || return 0
    for _ in $(seq 100); do
        # Gone, or a zombie that only its new parent can reap.
        [ -r "/proc/$server/stat" ] && ! grep -q ') Z ' "/proc/$server/stat" || return 0
        sleep 0.1
    done
    kill -9 "$server" 2>/dev/null || true
}

# "WIDTHxHEIGHT" of each page of out.pdf, in order, in points.
pages() {
    local count
    count=$(pdfinfo out.pdf | awk '/^Pages:/ {print $2}')
    pdfinfo -f 1 -l "$count" out.pdf | awk '/^Page.*size:/ {print $4 "x" $6}'
}

# expect_pages EXPECTED: the pages' sizes are the first field of each line of EXPECTED.
expect_pages() {
    pages >pages.txt
    cut -d ' ' -f 1 "$1" >expected.txt
    diff -u expected.txt pages.txt >&2 || fail "the exported pages differ from $1"
}

expect_message_boxes() {
    local count
    count=$(wc -l <boxes.log)
    [ "$count" = "$1" ] || fail "the editor showed $count message boxes, expected $1"
}

case "$check" in

# inx-is-valid FILE: the schema that the editor ships accepts the extension's description.
inx-is-valid)
    need xmllint
    schema=/usr/share/inkscape/extensions/inkscape.extension.rng
    [ -f "$schema" ] || { echo "SKIPPED: $schema is missing" >&2; exit 77; }
    xmllint --noout --relaxng "$schema" "$1"
    ;;

# renumbers DOCUMENT COMMAND EXPECTED_PAGES: the export has its pages in the new order, and
# nothing was shown to the designer.
renumbers)
    install_extension
    cp "$1" document.svg
    edit document.svg "$2"
    expect_pages "$3"
    expect_message_boxes 0
    ;;

# stays DOCUMENT COMMAND BOXES [THEN]: the export's pages are those of the document as it is,
# after BOXES message boxes (a failing document gets one and is kept as it was), and after
# the editor's action THEN when given.
stays)
    install_extension
    cp "$1" document.svg
    need inkscape
    inkscape --export-type=pdf --export-filename=out.pdf document.svg 2>/dev/null
    pages >before.txt
    edit document.svg "$2" "${4:-}"
    expect_pages before.txt
    expect_message_boxes "$3"
    ;;

# ordered DOCUMENT COMMAND PAGES BOXES YAXISDOWN [PREFERENCE...]: with these preferences,
# COMMAND (by-row, by-column, custom) exports the pages in the order PAGES ("WxH WxH ...", in
# points) after BOXES message boxes.
ordered)
    document="$1" command="$2" expected="$3" boxes="$4"
    shift 4
    preferences "$@"
    install_extension
    cp "$document" document.svg
    edit document.svg "$command"
    tr ' ' '\n' <<<"$expected" >expected.pages
    expect_pages expected.pages
    expect_message_boxes "$boxes"
    ;;

# install-and-uninstall: uninstall removes what install put there and leaves the rest.
install-and-uninstall)
    install_extension
    folder="$INKSCAPE_PROFILE_DIR/extensions/quorvane"
    for file in quorvane-host Quorvane.so quorvane-renumber-by-row.inx \
        quorvane-renumber-by-column.inx quorvane-renumber-custom.inx; do
        [ -f "$folder/$file" ] || fail "install did not put $file into $folder"
    done
    # Stripped: no debugging information in what is installed.
    for file in quorvane-host Quorvane.so; do
        if readelf -S "$folder/$file" | grep -q '\.debug_info'; then
            fail "install put $file with its debugging information ($(stat -c %s "$folder/$file") bytes)"
        fi
    done
    touch "$folder/notes.txt"
    "$EXTENSION/extension.sh" uninstall >/dev/null
    [ "$(ls -A "$folder")" = notes.txt ] || fail "uninstall left or took: $(ls -A "$folder")"
    rm "$folder/notes.txt"
    "$EXTENSION/extension.sh" install folder >/dev/null
    "$EXTENSION/extension.sh" uninstall >/dev/null
    [ ! -e "$folder" ] || fail "uninstall left $folder"
    ;;

# batch-line DOC DOCUMENT EXPECTED_PAGES: the batch-run line DOC shows (the shell block after
# "## Batch runs need a display", run as it stands, on a copy of DOCUMENT as document.svg)
# exports the pages in the new order.
batch-line)
    need xvfb-run xauth pdfinfo
    install_extension
    cp "$2" document.svg
    line=$(awk '/^## Batch runs need a display/ { section = 1 }
                section && /^```sh/ { block = 1; next }
                block && /^```/ { exit }
                block { sub(/\\$/, ""); printf "%s", $0 }' "$1")
    [[ "$line" == xvfb-run* ]] || fail "$1 shows no xvfb-run line: $line"
    echo "\$ $line" >&2
    set +e
    timeout -k 10 90 bash -c "$line" >editor.log 2>&1
    status=$?
    set -e
    [ "$status" = 0 ] || { cat editor.log >&2; fail "the line ended with status $status"; }
    [ -s out.pdf ] || { cat editor.log >&2; fail "the line exported nothing"; }
    expect_pages "$3"
    ;;

*)
    fail "no check called $check"
    ;;
esac
