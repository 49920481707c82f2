#!/bin/sh
# Builds the Debian package: DIST/quorvane_VERSION_ARCH.deb, with Debian's own tools
# (dpkg-buildpackage -b -us -uc over debian/), then checks it with lintian.
#
#   scripts/make-deb.sh SOURCE WORK DIST
#
# The package is built from a copy of SOURCE in WORK (what git tracks, and new files it does
# not ignore, as they are in the work tree): dpkg-buildpackage writes its results into the
# parent of the tree it builds, which must not be the folder that holds the user's clone.
# WORK is emptied first. Two builds of one commit give the same bytes: the files' times come
# from debian/changelog (SOURCE_DATE_EPOCH), and dpkg-buildflags maps the build folder out of
# the compiled files. No tests run in the package build (debian/rules): `make test` runs them.
# It compiles with two jobs, the cores a developer machine here has.
# Exit: 0 built and lintian-clean, 1 otherwise.
set -eu
export LC_ALL=C.UTF-8
if [ $# -ne 3 ]; then
    echo "usage: $0 SOURCE WORK DIST" >&2
    exit 2
fi
source=$(cd "$1" && pwd)
rm -rf "$2"
mkdir -p "$2" "$3"
work=$(cd "$2" && pwd)
dist=$(cd "$3" && pwd)
say() { echo "make-deb: $*"; }

version=$(dpkg-parsechangelog -l "$source/debian/changelog" -S Version)
upstream=${version%-*}
project=$(sed -n 's/^project(Quorvane VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
if [ "$upstream" != "$project" ]; then
    echo "make-deb: debian/changelog is at $version, CMakeLists.txt at $project; add a changelog entry (dch -v $project-1)" >&2
    exit 1
fi

tree="$work/quorvane-$upstream"
mkdir -p "$tree"
(cd "$source" && git ls-files -z --cached --others --exclude-standard |
    tar --null -T - --ignore-failed-read -cf - 2>/dev/null) | tar -C "$tree" -xf -

say "building $version in $tree (log: $work/build.log)"
(cd "$tree" && DEB_BUILD_OPTIONS="nocheck parallel=2 ${DEB_BUILD_OPTIONS:-}" \
    dpkg-buildpackage -b -us -uc >"$work/build.log" 2>&1) ||
    { tail -40 "$work/build.log" >&2; echo "make-deb: dpkg-buildpackage failed" >&2; exit 1; }

arch=$(dpkg-architecture -qDEB_HOST_ARCH)
deb="quorvane_${version}_$arch.deb"
[ -f "$work/$deb" ] || { echo "make-deb: dpkg-buildpackage made no $deb" >&2; exit 1; }
# Every error and warning fails; the justified ones are overridden in debian/, each with its
# reason. (Pedantic and informational tags are not checked.)
say "lintian $deb"
lintian --fail-on error,warning "$work/$deb" ||
    { echo "make-deb: lintian found the faults above in $deb" >&2; exit 1; }
cp "$work/$deb" "$dist/$deb"
say "$dist/$deb"
(cd "$dist" && sha256sum "$deb")
