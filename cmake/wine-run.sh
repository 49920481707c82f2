#!/bin/sh
# Runs a cross-built Windows program under Wine: the emulator through which CMake and ctest
# run the Windows test programs, test discovery included.
#
#   wine-run.sh [--prefix=DIR] PROGRAM.exe [ARGUMENTS...]
#   wine-run.sh [--prefix=DIR] --stop
#
# DIR is the Wine prefix (default: $HOME/.wine-quorvane); the toolchain file passes one inside
# the build tree. The prefix is made once, by whichever run comes first. --stop ends the
# prefix's server and the services it runs, waits until they are gone, and removes the
# server's folder: `make test` does so at its end, so that nothing it started outlives it.
#
# Nothing is written outside the prefix: Wine's menu builder (which would add folders and
# menu entries under $HOME) is switched off, and the server's socket folder, fontconfig's cache
# and the other XDG folders are kept inside the prefix.
#
# Start-up cost. A program that finds no wineserver for its prefix pays about half a second
# for starting one and Wine's background services; one that finds a server running starts in a
# few tens of milliseconds. So each run makes sure a server that outlives it by a minute is up,
# and the test programs of one ctest run share it.
#
# Standard handles. Wine's background services are started by the first program that talks to
# a new server, and keep that program's standard output and error open for as long as the
# server lives. Under ctest that would hold the test's output pipes open, and ctest would wait
# out the server's minute after every test that happened to come first. So the first program
# of every new server is a silent one run from here, with its output sent nowhere; a lock keeps
# parallel runs from getting in before it.
#
# Output is Wine-quiet: WINEDEBUG=-all, no prompts to install Mono or Gecko, and no display,
# so nothing a test does can open a window.
set -eu

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
persist_seconds=60

prefix="${HOME:-/tmp}/.wine-quorvane"
case "${1:-}" in
    --prefix=*) prefix="${1#--prefix=}"; shift ;;
esac
if [ $# -eq 0 ]; then
    echo "usage: $0 [--prefix=DIR] PROGRAM.exe [ARGUMENTS...]" >&2
    exit 2
fi

export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
# Wine's server puts its socket folder in TMPDIR; the socket's path must stay short (108 bytes),
# so a prefix deep in the file system keeps the system's TMPDIR and --stop removes the folder.
if [ "${#prefix}" -le 56 ]; then
    export TMPDIR="$prefix/tmp"
fi
export XDG_CACHE_HOME="$prefix/xdg/cache"
export XDG_CONFIG_HOME="$prefix/xdg/config"
export XDG_DATA_HOME="$prefix/xdg/data"

if [ "$1" = --stop ]; then
    [ -d "$prefix" ] || exit 0
    "$wineserver" -k </dev/null >/dev/null 2>&1 || true
    "$wineserver" -w </dev/null >/dev/null 2>&1 || true
    if [ -f "$prefix/wineserver" ]; then
        server_folder=$(cat "$prefix/wineserver")
        case "$server_folder" in
            wine-*) rm -rf "${TMPDIR:-/tmp}/$server_folder" ;;
        esac
    fi
    exit 0
fi

mkdir -p "$prefix" "$XDG_CACHE_HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
[ -z "${TMPDIR:-}" ] || mkdir -p "$TMPDIR"
(
    flock 9
    # Nothing started in here may keep the lock's descriptor: a server that inherited it would
    # hold the lock for its whole life.
    # wineserver exits 0 when it started a new server, 2 when one already runs.
    fresh=no
    "$wineserver" -p"$persist_seconds" </dev/null >/dev/null 2>&1 9>&- && fresh=yes
    if [ ! -e "$prefix/.quorvane-prefix-ready" ]; then
        # Wine says that 32-bit support is missing; that is expected and harmless here.
        "$wine" wineboot --init </dev/null >/dev/null 2>&1 9>&-
        touch "$prefix/.quorvane-prefix-ready"
    elif [ "$fresh" = yes ]; then
        "$wine" cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"$prefix/.quorvane-lock"

exec "$wine" "$@"
