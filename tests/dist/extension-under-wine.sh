#!/bin/sh
# The zip's editor extension on Windows, run as the editor runs it (under Wine).
#
#   extension-under-wine.sh ZIP DOCUMENT EXPECTED_DIR WINE_RUN WORK
#
# Unpacks the zip's inkscape/quorvane/ folder into a fresh Wine prefix's
# %APPDATA%\inkscape\extensions\, as its README tells the user, then for every .inx there
# runs its command line exactly as the editor does: the program the .inx names, from the
# .inx's folder; its parameters as --name=value (the hidden --inkscape-effect=... among
# them); the editor's own --id=... for a selection; and the path of a temporary copy of the
# DOCUMENT (examples/zine-pages.svg) under %TEMP% whose name has no .svg ending. The renumbered
# document on standard output must be the native program's (EXPECTED_DIR/zine-pages.by-ORDER.svg)
# for the row and column commands, and a document for any other. Exit: 0 passed, 1 failed.
set -eu
if [ $# -ne 5 ]; then
    echo "usage: $0 ZIP DOCUMENT EXPECTED_DIR WINE_RUN WORK" >&2
    exit 2
fi
zip=$(realpath "$1") source_document=$(realpath "$2") expected=$3 wine_run=$4
rm -rf "$5"
mkdir -p "$5"
work=$(cd "$5" && pwd)
prefix="$work/prefix"
failed=0
fail() { echo "FAILED: $*" >&2; failed=1; }
wine() { sh "$wine_run" --prefix="$prefix" "$@"; }
# The prefix's Wine server would outlive the test by a minute; it ends with the test.
trap 'sh "$wine_run" --prefix="$prefix" --stop' EXIT

# Where this prefix keeps the user's roaming application data and temporary files, as Windows
# paths and as the folders Wine keeps them in.
appdata_win=$(wine cmd.exe /c echo %APPDATA% | tr -d '\r')
temp_win=$(wine cmd.exe /c echo %TEMP% | tr -d '\r')
appdata=$(wine winepath.exe -u "$appdata_win" | tr -d '\r')
temp=$(wine winepath.exe -u "$temp_win" | tr -d '\r')
[ -d "$appdata" ] || { echo "FAILED: the prefix has no %APPDATA% ($appdata_win: $appdata)" >&2; exit 1; }

mkdir -p "$appdata/inkscape/extensions" "$work/unpacked" "$temp"
unzip -q "$zip" -d "$work/unpacked"
cp -R "$work/unpacked"/*/inkscape/quorvane "$appdata/inkscape/extensions/"
folder="$appdata/inkscape/extensions/quorvane"
folder_win="$appdata_win\\inkscape\\extensions\\quorvane"

ran=0
for inx in "$folder"/*.inx; do
    name=${inx##*/}
    # The command and the parameters, as the editor reads them from the .inx: one a line, so
    # that a value with spaces stays one argument.
    lines=$(python3 - "$inx" <<'PY'
import sys, xml.etree.ElementTree as ET
ns = "{http://www.inkscape.org/namespace/inkscape/extension}"
root = ET.parse(sys.argv[1]).getroot()
command = root.find(f"{ns}script/{ns}command")
print(command.get("location", "path"))
print(command.text.strip())
for param in root.iter(f"{ns}param"):
    value = (param.text or "").strip()
    options = param.findall(f"{ns}option") + param.findall(f"{ns}item")
    if not value and options:
        value = options[0].get("value", (options[0].text or "").strip())
    print(f"--{param.get('name')}={value}")
PY
    )
    set -f
    old_ifs=$IFS
    IFS='
'
    # shellcheck disable=SC2086 # split on newlines only, globbing off
    set -- $lines
    IFS=$old_ifs
    set +f
    location=$1 program=$2
    shift 2
    [ "$location" = inx ] && [ -f "$folder/$program" ] ||
        { fail "$name: its command ($location) $program is not a program in its folder"; continue; }
    effect=$(printf '%s\n' "$@" | sed -n 's/^--inkscape-effect=//p')
    document="ink_ext_XXXXXX.svg$(printf '%s' "$name" | cksum | cut -c1-6)"
    cp "$source_document" "$temp/$document"
    status=0
    wine "$folder_win\\$program" "$@" --id=page1 --id=rect2 "$temp_win\\$document" \
        >"$work/$name.out" 2>"$work/$name.err" || status=$?
    ran=$((ran + 1))
    if [ "$status" != 0 ]; then
        fail "$name: $program $* exited with $status: $(cat "$work/$name.err")"
        continue
    fi
    case "$effect" in
        by-row | by-column)
            want="$expected/$(basename "$source_document" .svg).$effect.svg"
            # Standard output is binary on Windows: the very bytes the native program writes.
            if ! cmp -s "$work/$name.out" "$want"; then
                fail "$name: the document on standard output differs from $want"
                diff "$want" "$work/$name.out" | head -10 >&2 || true
            fi ;;
        *)
            grep -q '<svg' "$work/$name.out" || fail "$name: no document on standard output" ;;
    esac
    printf 'extension-under-wine: %s (%s --inkscape-effect=%s) from %s\n' "$name" "$program" \
        "$effect" "$folder_win"
done
[ "$ran" -gt 0 ] || fail "the zip's extension folder holds no .inx"
exit "$failed"
