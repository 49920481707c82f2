#!/bin/sh
# Runs a cross-built Windows program under Wine, quietly, in a Wine prefix of the build's own.
: "${WINEPREFIX:=${HOME:-/tmp}/.wine-quorvane}"
export WINEPREFIX
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
