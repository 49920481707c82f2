#!/bin/sh
# The checks inside the throw-away root (fresh-root-test.sh copies this folder's files to
# /root/quorvane-test and runs this as root there): the installed program on the PATH renumbers
# a bundled example; every editor command is installed system-wide, and the two renumbering
# commands reorder a document's pages in the real editor under xvfb (no private extension
# folder: HOME is empty); apt-get purge leaves no file of the package behind.
#   in-root.sh DEB
set -eu
deb=$1
test=/root/quorvane-test
examples=/usr/share/doc/quorvane/examples
extensions=/usr/share/inkscape/extensions/quorvane
failed=0
fail() { echo "FAILED: $*" >&2; failed=1; }
say() { echo "in-root: $*"; }
mkdir -p "$HOME" /tmp/quorvane-work
cd /tmp/quorvane-work

# The command line, found on the PATH, loads the installed module without being told where.
[ "$(command -v quorvane-host)" = /usr/bin/quorvane-host ] ||
    fail "quorvane-host is not /usr/bin/quorvane-host on the PATH: $(command -v quorvane-host)"
cp "$examples/festival-posters.json" posters.json
if quorvane-host renumber --by row --output posters.json posters.json >renumber.log 2>&1; then
    cmp -s posters.json "$test/festival-posters.by-row.json" ||
        fail "the renumbered festival-posters.json differs from the expected one"
    say "quorvane-host renumber --by row: $(head -1 renumber.log)"
else
    cat renumber.log >&2
    fail "quorvane-host renumber --by row failed"
fi
man -w quorvane-host >/dev/null 2>&1 || [ -f /usr/share/man/man1/quorvane-host.1.gz ] ||
    fail "no manual page quorvane-host(1)"

# Every command of the source's extension folder is installed, and runs the installed program.
while IFS= read -r inx; do
    [ -f "$extensions/$inx" ] || fail "$extensions/$inx is not installed"
    grep -q '<command location="absolute">/usr/bin/quorvane-host</command>' "$extensions/$inx" ||
        fail "$extensions/$inx does not run /usr/bin/quorvane-host"
done <"$test/inx-files"

# The editor, as a designer uses it: the document opened in its window on a virtual display,
# the menu command chosen, the result exported as PDF. Message boxes are clicked away and
# counted: a successful renumbering shows none.
pages() { # "WIDTHxHEIGHT" of each page of PDF, in order
    count=$(pdfinfo "$1" | awk '/^Pages:/ {print $2}')
    pdfinfo -f 1 -l "$count" "$1" | awk '/^Page.*size:/ {print $4 "x" $6}'
}
for order in row column; do
    cp "$examples/zine-pages.svg" "document-$order.svg"
    : >"boxes-$order.log"
    started=$(date +%s)
    status=0
    timeout -k 10 120 xvfb-run -a -s '-screen 0 1280x1024x24 -nolisten unix' sh -c '
        python3 "$0" "$1" & closer=$!
        inkscape --with-gui --batch-process \
            --actions="org.quorvane.renumber.by-$2.noprefs;export-filename:out-$2.pdf;export-do" \
            "document-$2.svg"
        status=$?
        kill $closer
        exit $status' "$test/close-message-boxes.py" "boxes-$order.log" "$order" \
        >"editor-$order.log" 2>&1 || status=$?
    say "the editor renumbered by $order in $(( $(date +%s) - started ))s (status $status)"
    if [ "$status" != 0 ] || [ ! -s "out-$order.pdf" ]; then
        cat "editor-$order.log" >&2
        fail "the editor exported nothing for by-$order (status $status)"
        continue
    fi
    pages "out-$order.pdf" >"pages-$order.txt"
    cut -d ' ' -f 1 "$test/zine-pages.by-$order.pages" >"expected-$order.txt"
    diff -u "expected-$order.txt" "pages-$order.txt" >&2 ||
        fail "the pages exported after by-$order are not in the expected order"
    [ ! -s "boxes-$order.log" ] || fail "the editor showed $(wc -l <"boxes-$order.log") message boxes for by-$order"
done

# Purged, the package leaves nothing: no file it installed, no folder of its own.
dpkg-query -L quorvane >installed.txt
apt-get purge -y -q quorvane >purge.log 2>&1 || { cat purge.log >&2; fail "apt-get purge quorvane failed"; }
while IFS= read -r path; do
    if [ -e "$path" ] || [ -L "$path" ]; then
        if [ ! -d "$path" ] || [ "${path#*quorvane}" != "$path" ]; then
            fail "$path is left after the purge"
        fi
    fi
done <installed.txt
left=$(find / -xdev -path /root/quorvane-test -prune -o -path /tmp/quorvane-work -prune \
    -o -path "$deb" -prune -o -iname '*quorvane*' -print 2>/dev/null)
[ -z "$left" ] || fail "files named after the package are left after the purge: $left"
say "purged; $(wc -l <installed.txt) paths checked"
exit "$failed"
