#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine, as it would start in a
# user's session. Uses the desktop in DISPLAY, or a virtual one when there is none.
# (scripts/run.sh starts the Linux program.)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
source scripts/lib.sh

if quotamin_can_run_32bit; then
    preset=windows
else
    echo "This machine cannot run 32-bit programs: starting the 64-bit build of the program."
    preset=windows64
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target diduvavi
export WINEPREFIX=${WINEPREFIX:-$PWD/build/$preset/wineprefix-run}
program=build/$preset/ui/diduvavi.exe
if [ -n "${DISPLAY:-}" ]; then
    exec scripts/wine-run.sh "$program"
fi
echo "No DISPLAY: running on a virtual screen (Xvfb)."
exec xvfb-run -a -s '-screen 0 1280x1024x24' scripts/wine-run.sh "$program"
