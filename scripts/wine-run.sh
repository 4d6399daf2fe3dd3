#!/usr/bin/env bash
# Runs a Windows console program under Wine, headless: no display, no installer prompts, no
# debug chatter. The cross build uses it as its emulator, for build steps and for ctest.
#   scripts/wine-run.sh [--prefix DIR] program.exe [arguments...]
# The Wine prefix is DIR, else $WINEPREFIX, else ~/.wine-halden; it is created on first use,
# which takes a few seconds.
set -euo pipefail

if [ "${1:-}" = "--prefix" ]; then
    export WINEPREFIX=$2
    shift 2
fi

wine=${HALDEN_WINE:-}
if [ -z "$wine" ]; then
    for candidate in wine64 /usr/lib/wine/wine64 wine; do
        if command -v "$candidate" >/dev/null 2>&1; then
            wine=$(command -v "$candidate")
            break
        fi
    done
fi
if [ -z "$wine" ]; then
    echo "wine-run: no wine64 found (scripts/deps.sh installs it)" >&2
    exit 127
fi

# Wine wants an absolute prefix.
WINEPREFIX=$(realpath -m "${WINEPREFIX:-$HOME/.wine-halden}")
export WINEPREFIX
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# Console programs need neither .NET nor the HTML engine; without this a new prefix asks to
# install them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
unset DISPLAY WAYLAND_DISPLAY

# A new prefix is made once, quietly, even when tests start in parallel.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            "$wine" wineboot --init >/dev/null 2>&1 || true
        fi
    ) 9>"$WINEPREFIX.lock"
fi
# Whoever starts the Wine server and its services hands them its standard output, and ctest
# waits for every holder of a test's output to exit: seconds per test. So they are started
# here on /dev/null, and the server stays a little while for the next program.
wineserver=$(dirname "$(realpath "$wine")")/wineserver
if [ -x "$wineserver" ] && "$wineserver" -p5 </dev/null >/dev/null 2>&1; then
    "$wine" cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
fi
exec "$wine" "$@"
