#!/bin/sh
# Builds, installs and removes the editor extension folder "quorvane".
#   extension.sh build BIN_DIR PROGRAM MODULE OUT_DIR  the .inx files, PROGRAM and MODULE
#                                                      (from BIN_DIR, stripped) in OUT_DIR,
#                                                      nothing else
#   extension.sh install FOLDER      copies FOLDER into the editor's user extension folder
#   extension.sh uninstall           removes what install put there, and nothing else
# The user extension folder is found by asking the editor (`inkscape --user-data-directory`),
# which honours INKSCAPE_PROFILE_DIR. An install lists its files in .quorvane-installed
# inside the folder; uninstall removes exactly those, then the folder if it is left empty.
set -eu
here=$(cd "$(dirname "$0")" && pwd)

target() {
    profile=$(inkscape --user-data-directory 2>/dev/null) || {
        echo "extension.sh: the editor (inkscape) did not say where its user folder is" >&2
        exit 1
    }
    echo "$profile/extensions/quorvane"
}

case "${1:-}" in
build)
    bin="$2" program="$3" module="$4" out="$5"
    for file in "$bin/$program" "$bin/$module"; do
        [ -f "$file" ] || { echo "extension.sh: $file is missing; build it first" >&2; exit 1; }
    done
    rm -rf "$out"
    mkdir -p "$out"
    for inx in "$here"/*.inx; do
        # The command names the program file itself: quorvane-host.exe on Windows.
        sed "s|>quorvane-host<|>$program<|" "$inx" >"$out/$(basename "$inx")"
    done
    cp "$bin/$program" "$bin/$module" "$out/"
    # Without debugging information: a build tree's program is a debug build (some 38 MB),
    # the installed one need not be (some 1.5 MB, as the Debian package's). A file that carries
    # none (the release's, whose debug information is split off) is left byte for byte as it
    # is, so that the zip's extension folder holds the very files beside it.
    case "$program" in
    *.exe) tools=x86_64-w64-mingw32- ;;
    *) tools= ;;
    esac
    for file in "$out/$program" "$out/$module"; do
        if ! command -v "${tools}objdump" >/dev/null || ! command -v "${tools}strip" >/dev/null; then
            echo "extension.sh: ${tools}strip is missing; the folder keeps the debugging information" >&2
            break
        fi
        if "${tools}objdump" -h "$file" | grep -q ' \.debug_'; then
            "${tools}strip" --strip-unneeded "$file"
        fi
    done
    echo "$out: $(cd "$out" && ls | tr '\n' ' ')"
    ;;
install)
    from="$2"
    to=$(target)
    [ -d "$from" ] || { echo "extension.sh: $from is missing; run make inkscape-extension" >&2; exit 1; }
    mkdir -p "$to"
    (cd "$from" && ls) >"$to/.quorvane-installed"
    cp -p "$from"/* "$to/"
    echo "installed into $to; restart the editor: Extensions > Arrange > Quorvane"
    ;;
uninstall)
    to=$(target)
    if [ ! -f "$to/.quorvane-installed" ]; then
        echo "nothing installed in $to"
        exit 0
    fi
    while IFS= read -r name; do
        rm -f "$to/$name"
    done <"$to/.quorvane-installed"
    rm -f "$to/.quorvane-installed"
    rmdir "$to" 2>/dev/null || echo "kept $to: it holds files that install did not put there"
    echo "removed the Quorvane extension from $to"
    ;;
*)
    echo "usage: $0 build BIN_DIR PROGRAM MODULE OUT_DIR | install FOLDER | uninstall" >&2
    exit 2
    ;;
esac
