#!/bin/sh
# Installs the Debian packages that a make target needs, when they are missing.
# As root it runs apt-get and shows how far it has got; otherwise it prints the command to run
# and stops.
#   scripts/install-deps.sh demo|test|dist|deb [--list]
# With --list it prints the packages the target needs, one a line, and installs nothing
# (tests/debian/install-deps-test.sh checks them against debian/control).
set -eu
common="make cmake g++ libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev libpugixml-dev libcli11-dev libexpat1-dev"
# The Windows release: the cross compiler, zip, and the tools that fetch, check and unpack
# expat's pinned Debian source package (apt's source fetch, sha256sum, dpkg-source, xz).
dist="make cmake g++-mingw-w64-x86-64 nlohmann-json3-dev libcli11-dev zip xz-utils dpkg-dev"
# The Debian package: Debian's packaging tools and the package's Build-Depends (debian/control),
# with build-essential, which dpkg-checkbuilddeps requires of every package build.
deb="make cmake g++ build-essential git debhelper dpkg-dev devscripts lintian nlohmann-json3-dev libcli11-dev libexpat1-dev"
case "${1:-test}" in
    demo) wanted="$common" ;;
    dist) wanted="$dist" ;;
    deb) wanted="$deb" ;;
    # The fuzz tree builds with clang 14, whose sanitizer and libFuzzer runtimes are a package
    # of their own that clang only recommends.
    # The package's test installs it into a throw-away root made by mmdebstrap; the fuzz tree
    # checks the SVG reader against libxml2 (libxml2-dev).
    test) wanted="$common $dist $deb mmdebstrap wine64 wine inkscape poppler-utils librsvg2-bin xvfb xauth libxml2-utils libxml2-dev python3 clang libclang-rt-14-dev clang-format clang-tidy" ;;
    *) echo "usage: $0 demo|test|dist|deb [--list]" >&2; exit 2 ;;
esac
if [ "${2:-}" = --list ]; then
    printf '%s\n' $wanted
    exit 0
fi
missing=""
for p in $wanted; do
    case " $missing " in *" $p "*) continue ;; esac
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" != 0 ]; then
    echo "Missing packages:$missing" >&2
    echo "Install them with: sudo apt-get install --no-install-recommends$missing" >&2
    exit 1
fi

start=$(date +%s)
say() { echo "install-deps: [$(( $(date +%s) - start ))s] $*"; }
export DEBIAN_FRONTEND=noninteractive
say "missing:$missing"
say "reading the package lists (apt-get update)"
apt-get update -q | grep -v '^\(Hit\|Ign\|Get\|Reading\)' || true
say "installing (the download and unpack progress follows; apt names the sizes first)"
# apt's own lines are many hundreds for the test target; its size summary, warnings and errors
# pass, and a line per tenth of each phase says how far it has got.
status_file=$(mktemp "${TMPDIR:-/tmp}/install-deps.XXXXXX")
trap 'rm -f "$status_file"' EXIT
{
    apt-get install -y -q --no-install-recommends -o Dpkg::Use-Pty=0 $missing 2>&1
    echo $? >"$status_file"
} | awk -v start="$start" '
    function report(phase, done) {
        if (total > 0 && (done == total || int(done * 10 / total) > int((done - 1) * 10 / total)))
        {
            "date +%s" | getline now
            close("date +%s")
            printf "install-deps: [%ds] %s %d of %d packages\n", now - start, phase, done, total
        }
        fflush()
    }
    /newly installed/ { total = $3 + 0; print; fflush(); next }
    /^Need to get|^After this operation|^[EW]:|^dpkg: |^Errors/ { print; fflush(); next }
    /^Get:/ { report("downloaded", ++got); next }
    /^Unpacking / { report("unpacked", ++unpacked); next }
    /^Setting up / { report("set up", ++setup); next }
'
status=$(cat "$status_file" 2>/dev/null || echo 1)
if [ "$status" != 0 ]; then
    say "apt-get install failed (status $status)"
    exit 1
fi
say "done"
