#!/bin/sh
# Fetches a Debian source package and unpacks it with Debian's patches applied, without
# touching the system's apt configuration or state: the deb-src list, the package lists and
# apt's cache all live in a folder of our own.
#
#   scripts/fetch-debian-source.sh PACKAGE DESTINATION
#
# DESTINATION/PACKAGE is the patched source tree (DESTINATION/PACKAGE/.fetched names the
# version), DESTINATION/apt apt's private state, DESTINATION/downloads the files as fetched.
# A tree that is already there is kept. The deb-src entries are those of the system's own
# deb entries for this release, so the sources come from the mirror the system already uses.
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 PACKAGE DESTINATION" >&2
    exit 2
fi
package=$1
mkdir -p "$2"
destination=$(cd "$2" && pwd)
tree="$destination/$package"
if [ -e "$tree/.fetched" ]; then
    exit 0
fi

say() { echo "fetch-debian-source: $*"; }

apt_dir="$destination/apt"
mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" \
         "$destination/downloads"
: >"$apt_dir/sources.list"
rm -f "$apt_dir/sources.list.d/"*

# The release this system runs, whose deb entries are turned into deb-src ones.
codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
if [ -z "$codename" ]; then
    echo "fetch-debian-source: /etc/os-release names no release" >&2
    exit 1
fi
# One-line lists: "deb [options] URI SUITE COMPONENTS".
for list in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$list" ] || continue
    sed -n "s/^[[:space:]]*deb[[:space:]]\(.*[[:space:]]$codename\(-[a-z-]*\)\{0,1\}[[:space:]].*main.*\)/deb-src \1/p" \
        "$list" >>"$apt_dir/sources.list"
done
# deb822 lists: stanzas of "Types: deb" whose suites are this release's.
n=0
for list in /etc/apt/sources.list.d/*.sources; do
    [ -f "$list" ] || continue
    n=$((n + 1))
    awk -v codename="$codename" '
        function flush() {
            if (stanza != "" && types ~ /(^| )deb( |$)/ && suites ~ ("(^| )" codename "([-a-z]*)?( |$)"))
                printf "%s\n", stanza
            stanza = ""; types = ""; suites = ""
        }
        /^[[:space:]]*$/ { flush(); next }
        /^#/ { next }
        /^Types:/ { types = $0; sub(/^Types:[[:space:]]*/, "", types); $0 = "Types: deb-src" }
        /^Suites:/ { suites = $0; sub(/^Suites:[[:space:]]*/, "", suites) }
        { stanza = stanza $0 "\n" }
        END { flush() }
    ' "$list" >"$apt_dir/sources.list.d/system-$n.sources"
done

# apt works as this user: its sandbox user could not write into our folder.
apt_options="-o Dir::Etc::sourcelist=$apt_dir/sources.list
 -o Dir::Etc::sourceparts=$apt_dir/sources.list.d
 -o Dir::State::Lists=$apt_dir/lists
 -o Dir::Cache=$apt_dir/cache
 -o APT::Sandbox::User=$(id -un)"

say "reading the source lists of $codename into $apt_dir"
# shellcheck disable=SC2086 # the options are words on purpose
apt-get $apt_options update
say "downloading the source package $package"
(cd "$destination/downloads" && rm -f "${package}_"* &&
    # shellcheck disable=SC2086
    apt-get $apt_options source --download-only "$package")

say "unpacking $package with Debian's patches"
rm -rf "$tree" "$tree.partial"
mkdir -p "$tree.partial"
dsc=$(ls "$destination/downloads/${package}_"*.dsc)
for archive in "$destination/downloads/${package}_"*.orig.tar.* "$destination/downloads/${package}_"*.debian.tar.*; do
    [ -f "$archive" ] || continue
    case "$archive" in
        *.orig.tar.*) tar -xf "$archive" -C "$tree.partial" --strip-components=1 ;;
        *) tar -xf "$archive" -C "$tree.partial" ;;
    esac
done
if [ -f "$tree.partial/debian/patches/series" ]; then
    # git apply works outside a repository as a careful patch(1), and git is already here.
    # The ceiling keeps it from taking a repository around DESTINATION (the clone's build
    # folder) for its own, where it would read the patch's paths from that repository's top.
    export GIT_CEILING_DIRECTORIES="$destination"
    sed -e 's/#.*//' -e '/^[[:space:]]*$/d' "$tree.partial/debian/patches/series" |
        while read -r patch _; do
            say "  applying $patch"
            (cd "$tree.partial" && git apply -p1 "debian/patches/$patch")
        done
fi
basename "$dsc" .dsc >"$tree.partial/.fetched"
mv "$tree.partial" "$tree"
say "$(cat "$tree/.fetched") is in $tree"
