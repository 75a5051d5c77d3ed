#!/usr/bin/env bash
# Runs one Windows program under Wine in the prefix of the build it belongs to
# (WINEPREFIX, set by the test command; build/wineprefix otherwise). The first
# start creates the prefix; a lock keeps parallel tests from creating it twice.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/lib.sh"
export WINEPREFIX=${WINEPREFIX:-$here/build/wineprefix}
quotamin_wine_environment
program=$1
shift
loader=$(quotamin_wine_loader "$program")
mkdir -p "$(dirname "$WINEPREFIX")"
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        quotamin_boot_prefix "$loader"
    fi
) 9>"$WINEPREFIX.lock"
exec "$loader" "$program" "$@"
