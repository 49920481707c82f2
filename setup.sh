#!/bin/sh
# From a bare Debian 12 system to a result: installs what the target needs (make included)
# and runs it. The README's two commands:
#   sh setup.sh demo   renumber the bundled example with the real module and show the result
#   sh setup.sh test   build everything (native, sanitizers, Windows under Wine, the web page) and
#                      run every test
# and also `sh setup.sh dist` (the release zips), `sh setup.sh web` (the web page) and
# `sh setup.sh deb` (the Debian package). As root the missing Debian packages are installed first; otherwise the one apt-get
# line to run is printed. Afterwards `make TARGET` does the same.
set -eu
cd "$(dirname "$0")"
case "${1:-}" in
    demo | test | dist | deb | web) ;;
    *)
        echo "usage: sh setup.sh demo|test|dist|deb|web" >&2
        exit 2
        ;;
esac
sh scripts/install-deps.sh "$1"
exec make "$1"
