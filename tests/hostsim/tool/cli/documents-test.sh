#!/bin/bash
# End-to-end checks of how quorvane-host reads and writes documents: a byte-order mark, values
# of keys it does not know, the spelling an artboard takes with it, whole pages travelling in
# SVG, and the artboard a refusal names. One check a run.
#
#   documents-test.sh CHECK
#
# The environment: QUORVANE_HOST (the program), WORK (an empty directory of this check's own),
# PAGES (tests/extensions/inkscape/inputs/pages-with-settings.svg).
# Exits 0 (passed), 1 (failed, with the reason on standard error).
set -euo pipefail

check="$1"
. "$(dirname "${BASH_SOURCE[0]}")/check-lib.sh"

bom=$'\xEF\xBB\xBF'

# Two artboards in the wrong order, with keys the host does not know at both levels.
posters() {
    cat <<'JSON'
{
  "title": "Posters",
  "artboards": [
    {"name": "Low", "bounds": [0, 0, 10, -10], "id": "a", "pixelAspectRatio": 1.0, "rulerOrigin": [0, 0]},
    {"name": "High", "bounds": [0, 100, 10, 90], "id": "b", "x": 1e400, "big": 123456789012345678901234567890}
  ],
  "version": 2
}
JSON
}

case "$check" in
byte-order-mark-json)
    posters | sed 's/"x": 1e400, //' >plain.json
    { printf '%s' "$bom"; cat plain.json; } >marked.json
    run renumber --by row plain.json -o plain-out.json
    expect_status 0
    run renumber --by row marked.json -o marked-out.json
    expect_status 0
    { printf '%s' "$bom"; cat plain-out.json; } >expected.json
    expect_same marked-out.json expected.json
    expect_in marked-out.json '"title": "Posters"'
    expect_in marked-out.json '"version": 2'
    expect_in marked-out.json '"id": "a"'
    # Unchanged: the input byte for byte, the mark included.
    cp marked-out.json again.json
    run renumber --by row again.json -o again.json
    expect_status 0
    expect_same again.json marked-out.json
    # A key twice is refused as without the mark.
    { printf '%s' "$bom"; printf '{"artboards": [],\n"artboards": []}\n'; } >twice.json
    run renumber --by row twice.json -o out.json
    expect_status 2
    expect_in .stderr 'twice.json:2: the document has the key "artboards" twice'
    [ ! -e out.json ] || fail "out.json written"
    # Converted to SVG: the keys left behind are named.
    run renumber --by row marked.json -o marked.svg
    expect_status 0
    expect_in .stderr 'left behind: "title", "version", artboard 1 "id"'
    ;;
byte-order-mark-svg)
    cp "$PAGES" plain.svg
    { printf '%s' "$bom"; cat "$PAGES"; } >marked.svg
    run renumber --by row plain.svg -o plain-out.svg
    expect_status 0
    run renumber --by row marked.svg -o marked-out.svg
    expect_status 0
    { printf '%s' "$bom"; cat plain-out.svg; } >expected.svg
    expect_same marked-out.svg expected.svg
    ;;
unknown-values-kept)
    posters >in.json
    run renumber --by row in.json -o out.json
    expect_status 0
    expect_in out.json '"x": 1e400'
    expect_in out.json '"big": 123456789012345678901234567890'
    # Low moved to the second place with its explicit defaults spelled as written.
    expect_in out.json '{"name": "Low", "bounds": [0, 0, 10, -10], "id": "b", "x": 1e400, "big": 123456789012345678901234567890, "pixelAspectRatio": 1.0, "rulerOrigin": [0, 0]}'
    ;;
unwritable-name-names-the-input-artboard)
    printf '{"artboards": [\n  {"name": "Bell\\u0007",\n   "bounds": [0, 0, 10, -10]},\n  {"name": "High", "bounds": [0, 100, 10, 90]}\n]}\n' >in.json
    run renumber --by row in.json -o out.svg
    expect_status 2
    expect_in .stderr 'in.json:2: artboard 1 ("Bell\u0007"): the name holds U+0007'
    [ ! -e out.svg ] || fail "out.svg written"
    ;;
whole-pages-travel)
    cp "$PAGES" in.svg
    run renumber --by row in.svg -o out.svg
    expect_status 0
    # The pages in their new order, each with everything it had.
    ids=$(grep -o 'id="page-[a-z0-9]*"' out.svg | tr '\n' ' ')
    [ "$ids" = 'id="page-a1" id="page-a2" id="page-b1" id="page-b2" ' ] || fail "pages in the order $ids"
    for page in a1 a2 b1 b2; do
        # The element of each page, from its start tag to its end, is the input's.
        extract() { awk -v id="id=\"page-$page\"" '
            /<inkscape:page/ { buffer = ""; inside = 1 }
            inside { buffer = buffer $0 "\n" }
            inside && (/\/>/ || /<\/inkscape:page>/) { inside = 0; if (index(buffer, id)) printf "%s", buffer }
        ' "$1"; }
        extract in.svg >want.$page
        extract out.svg >got.$page
        [ -s want.$page ] || fail "page-$page not found"
        expect_same got.$page want.$page
    done
    # Everything outside the pages is unchanged.
    strip() { awk '/<inkscape:page/ { inside = 1 } !inside { print } inside && (/\/>/ || /<\/inkscape:page>/) { inside = 0 }' "$1"; }
    strip in.svg >rest.in
    strip out.svg >rest.out
    expect_same rest.out rest.in
    # Renumbered again: nothing to do, the file byte for byte.
    cp out.svg again.svg
    run renumber --by row again.svg -o again.svg
    expect_status 0
    expect_same again.svg out.svg
    # The same through standard output.
    run renumber --by row in.svg -o -
    expect_status 0
    expect_same .stdout out.svg
    ;;
*)
    fail "no check named $check"
    ;;
esac
