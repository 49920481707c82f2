#!/bin/sh
# Installs the Debian packages that a make target needs, when they are missing.
# As root it runs apt-get; otherwise it prints the command to run and stops.
#   scripts/install-deps.sh demo|test
set -eu
common="cmake make g++ libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev libpugixml-dev libcli11-dev"
case "${1:-test}" in
    demo) wanted="$common" ;;
    test) wanted="$common g++-mingw-w64-x86-64 wine64 wine inkscape poppler-utils librsvg2-bin xvfb xauth libxml2-utils python3" ;;
    *) echo "usage: $0 demo|test" >&2; exit 2 ;;
esac
missing=""
for p in $wanted; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
[ -z "$missing" ] && exit 0
if [ "$(id -u)" = 0 ]; then
    echo "Installing:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends $missing >/dev/null
else
    echo "Missing packages:$missing" >&2
    echo "Install them with: sudo apt-get install$missing" >&2
    exit 1
fi
