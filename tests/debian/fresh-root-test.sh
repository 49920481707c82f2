#!/bin/sh
# The Debian package as a user meets it: installed with apt into a throw-away Debian 12 root,
# used from the command line and from the real editor, then purged.
#
#   fresh-root-test.sh DEB SOURCE WORK
#
# DEB is the package (make deb), SOURCE the source tree (for the expected results and the
# editor tests' message-box closer), WORK an empty folder of this test's own. The root is made
# by mmdebstrap (--variant=apt bookworm) with the package, the editor, xvfb and poppler-utils
# given to --include; inside it, in-root.sh does the checks. The packages the machine has
# already downloaded (/var/cache/apt/archives) are offered to the root's apt, read-only, so
# that only the missing ones are fetched. The root is deleted afterwards (about 800 MB).
# Exit: 0 passed, 1 failed, 77 skipped (no root can be made here: the reason is printed).
set -eu
if [ $# -ne 3 ]; then
    echo "usage: $0 DEB SOURCE WORK" >&2
    exit 2
fi
deb=$(realpath "$1")
source=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIPPED: $*" >&2; exit 77; }

command -v mmdebstrap >/dev/null || skip "mmdebstrap is not installed"
# The read-only view of the machine's downloaded packages is a bind mount, and the checks run
# in a chroot: both need root.
[ "$(id -u)" = 0 ] || skip "a root with the package installed needs root (mount, chroot)"
[ -f "$deb" ] || { echo "FAILED: $deb is missing; run make deb" >&2; exit 1; }

rm -rf "$3"
mkdir -p "$3"
work=$(cd "$3" && pwd)
root="$work/root"
cache=/var/cache/apt/archives
start=$(date +%s)
say() { echo "fresh-root: [$(( $(date +%s) - start ))s] $*"; }

# Whatever happens, everything mounted under the root (the machine's package folder, /dev,
# /proc, /sys) is unmounted before the root is deleted; a mount that stays keeps the root.
mounts_under_root() {
    awk -v root="$root/" 'substr($2 "/", 1, length(root)) == root {print $2}' /proc/self/mounts |
        sort -r
}
cleanup() {
    for mount in $(mounts_under_root); do
        umount "$mount" 2>/dev/null || umount -l "$mount" || true
    done
    if [ -z "$(mounts_under_root)" ]; then
        rm -rf "$root"
    else
        echo "fresh-root: kept $root: still mounted: $(mounts_under_root | tr '\n' ' ')" >&2
    fi
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

# The machine's packages appear in the root's apt cache as relative links into the read-only
# mount, which resolve both from outside the root (where mmdebstrap's first steps run) and
# inside it (where apt runs later).
offer_cache='mkdir -p "$1/var/cache/quorvane-machine-archives" "$1/var/cache/apt/archives"
if [ -d '"$cache"' ]; then
    mount -o bind,ro '"$cache"' "$1/var/cache/quorvane-machine-archives"
    for f in "$1"/var/cache/quorvane-machine-archives/*.deb; do
        [ -e "$f" ] && ln -s "../../quorvane-machine-archives/${f##*/}" "$1/var/cache/apt/archives/${f##*/}"
    done
fi
true'
# dpkg inside the root installs the package from the path it was given, so it is copied there.
copy_deb='mkdir -p "$1'"$(dirname "$deb")"'" && cp "'"$deb"'" "$1'"$deb"'"'

say "making the root in $root (log: $work/mmdebstrap.log)"
status=0
mmdebstrap --variant=apt --skip=essential/unlink --skip=download/empty \
    --include="$deb" --include=inkscape,xvfb,xauth,poppler-utils,python3 \
    --setup-hook="$offer_cache" --setup-hook="$copy_deb" \
    --customize-hook='umount "$1/var/cache/quorvane-machine-archives" && rmdir "$1/var/cache/quorvane-machine-archives"' \
    --customize-hook='find "$1/var/cache/apt/archives" -type l -delete' \
    bookworm "$root" >"$work/mmdebstrap.log" 2>&1 || status=$?
if [ "$status" != 0 ]; then
    tail -20 "$work/mmdebstrap.log" >&2
    # No network and no packages for the root: nothing of ours was tried.
    if grep -q -E "Temporary failure resolving|Could not resolve|Unable to locate package (inkscape|xvfb)" \
        "$work/mmdebstrap.log"; then
        skip "mmdebstrap could not make a root on this machine (no package source reached)"
    fi
    echo "FAILED: mmdebstrap could not make the root with $deb (status $status)" >&2
    exit 1
fi
say "root made"

mkdir -p "$root/root/quorvane-test"
cp "$here/in-root.sh" "$source/tests/extensions/inkscape/close-message-boxes.py" \
    "$source/tests/hostsim/tool/expected/festival-posters.by-row.json" \
    "$source/tests/hostsim/tool/expected/zine-pages.by-row.pages" \
    "$source/tests/hostsim/tool/expected/zine-pages.by-column.pages" "$root/root/quorvane-test/"
(cd "$source/extensions/inkscape" && ls ./*.inx | sed 's|^\./||') >"$root/root/quorvane-test/inx-files"

# The checks run in the root with its own /proc, /dev and /sys, unmounted afterwards.
for fs in proc sys dev; do
    mkdir -p "$root/$fs"
done
mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount -o bind /dev "$root/dev"
status=0
chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root/quorvane-test/home \
    LC_ALL=C.UTF-8 sh /root/quorvane-test/in-root.sh "$deb" || status=$?
umount "$root/dev" "$root/sys" "$root/proc"
say "checks in the root ended with status $status"
exit "$status"
