#!/bin/sh
# Fetches a Debian source package at the version pinned in scripts/debian-sources.sha256,
# checks every file of it against the SHA-256 sums there before use, and unpacks it with
# Debian's patches applied (dpkg-source -x), without touching the system's apt configuration
# or state: the deb-src list, the package lists and apt's cache live in a folder of our own.
# A release's bytes so depend on the pinned files only, never on the archive's state that day.
#
#   scripts/fetch-debian-source.sh PACKAGE DESTINATION
#
# DESTINATION/PACKAGE is the patched source tree (DESTINATION/PACKAGE/.fetched names the
# version), DESTINATION/apt apt's private state, DESTINATION/downloads the files as fetched.
# A tree of the pinned version that is already there is kept, and files already downloaded
# whose sums match are not fetched again. The deb-src entries are those of the system's own
# deb entries for this release, so the sources come from the mirror the system already uses.
# Exit status 1, with the file named, when a file's sum is not the pinned one.
set -eu

if [ $# -ne 2 ]; then
    echo "usage: $0 PACKAGE DESTINATION" >&2
    exit 2
fi
package=$1
mkdir -p "$2"
destination=$(cd "$2" && pwd)
tree="$destination/$package"
pins="$(cd "$(dirname "$0")" && pwd)/debian-sources.sha256"

say() { echo "fetch-debian-source: $*"; }

# The pinned files of the package: "SUM  NAME" lines, the .dsc naming the version.
pinned=$(grep "^[0-9a-f]\{64\}  ${package}_" "$pins" || true)
version=$(printf '%s\n' "$pinned" | sed -n "s/^[0-9a-f]*  ${package}_\(.*\)\.dsc\$/\1/p")
if [ -z "$version" ]; then
    echo "fetch-debian-source: $pins pins no version of $package" >&2
    exit 1
fi
if [ "$(cat "$tree/.fetched" 2>/dev/null)" = "${package}_$version" ]; then
    exit 0
fi
verified() { (cd "$destination/downloads" && printf '%s\n' "$pinned" | sha256sum -c --quiet --strict -); }
mkdir -p "$destination/downloads"
if ! verified >/dev/null 2>&1; then

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
        apt-get $apt_options source --download-only "$package=$version")

fi
if ! verified; then
    echo "fetch-debian-source: the files of ${package}_$version are not those pinned in $pins" >&2
    exit 1
fi

say "unpacking $package with Debian's patches"
rm -rf "$tree" "$tree.partial"
# dpkg-source checks the archives against the (checked) .dsc and applies Debian's patches.
dpkg-source --no-copy -x "$destination/downloads/${package}_$version.dsc" "$tree.partial" >/dev/null
dsc="${package}_$version.dsc"
basename "$dsc" .dsc >"$tree.partial/.fetched"
mv "$tree.partial" "$tree"
say "$(cat "$tree/.fetched") is in $tree"
