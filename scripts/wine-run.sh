#!/usr/bin/env bash
# Runs one Windows program under Wine in the prefix of the build it belongs to
# (WINEPREFIX, set by the test command; build/wineprefix otherwise). The first
# start creates the prefix; a lock keeps parallel tests from creating it twice.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
program=$1
shift
if file -b "$program" | grep -q 'x86-64'; then
    loader=/usr/lib/wine/wine64
else
    loader=/usr/lib/wine/wine
fi
mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$loader" wineboot -i >/dev/null 2>&1 || true
        /usr/lib/wine/wineserver -w || true
    fi
) 9>"$WINEPREFIX.lock"
exec "$loader" "$program" "$@"
