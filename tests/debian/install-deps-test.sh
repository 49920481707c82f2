#!/bin/sh
# Fails unless the packages scripts/install-deps.sh installs for `make test` and `make deb`
# cover what building the Debian package needs: every package debian/control's Build-Depends
# names (debhelper-compat is debhelper's) and build-essential, which dpkg-checkbuilddeps asks
# of every build. A bare Debian 12 has none of them; a developer's machine has most, so a
# forgotten one shows only on a fresh system.
#
#   tests/debian/install-deps-test.sh SOURCE
set -eu
source=$1
control="$source/debian/control"

# The Build-Depends fields' package names, one a line: continuation lines joined, comments
# dropped, version constraints, architecture and profile restrictions removed; of
# alternatives ("a | b") the first.
needed=$(awk '
    /^#/ { next }
    /^[A-Za-z-]+:/ { field = $0; sub(/:.*/, "", field); inside = field ~ /^Build-Depends(-Arch|-Indep)?$/ }
    inside { line = $0; if (line ~ /^[A-Za-z-]+:/) sub(/^[A-Za-z-]+:/, "", line); printf "%s ", line }
' "$control" | tr ',' '\n' | sed -e 's/|.*//' -e 's/([^)]*)//g' -e 's/\[[^]]*\]//g' \
    -e 's/<[^>]*>//g' -e 's/:[a-z]*//' -e 's/^ *//' -e 's/ *$//' | grep -v '^$' |
    sed 's/^debhelper-compat$/debhelper/')
if [ -z "$needed" ]; then
    echo "install-deps-test: no Build-Depends found in $control" >&2
    exit 1
fi

failed=0
for target in deb test; do
    listed=$(sh "$source/scripts/install-deps.sh" "$target" --list)
    for package in $needed build-essential; do
        if ! printf '%s\n' "$listed" | grep -qx "$package"; then
            echo "install-deps-test: scripts/install-deps.sh $target does not install $package," \
                 "which building the package needs (debian/control, dpkg-checkbuilddeps)" >&2
            failed=1
        fi
    done
done
if [ "$failed" = 0 ]; then
    echo "install-deps-test: deb and test install every build dependency:" $needed build-essential
fi
exit "$failed"
