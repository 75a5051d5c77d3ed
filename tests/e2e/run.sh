#!/usr/bin/env bash
# Runs the end-to-end test in a fresh Windows installation of its own (a new
# Wine prefix in the build directory), on a virtual screen of its own so that
# no other test's windows come in the way. Wine's virtual desktop gives the
# windows their frames and a task bar with a real notification area.
# Screenshots are left in the screenshot directory as PNG files. A second run
# of the driver follows in the same installation as the user Password.
#
#   run.sh <program.exe> <e2e_test.exe> <session_end_watcher.exe> <work dir> <screenshot dir>
set -euo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"
quotamin_on_own_screen || quotamin_rerun_on_own_screen 1280x1024 "$@"
program=$1 driver=$2 watcher=$3 work=$4 shots=$5

export WINEPREFIX=$work/wineprefix
rm -rf "$shots"
mkdir -p "$shots"
echo "Creating a fresh Wine prefix in $WINEPREFIX"
quotamin_new_prefix "$program" desktop
loader=$(quotamin_wine_loader "$program")

status=0
"$loader" "$driver" "$(quotamin_winpath "$program")" "$(quotamin_winpath "$watcher")" \
    "$(quotamin_winpath "$shots")" ||
    status=$?
# The same installation, now as the user Password: Wine takes the session's
# user name from USER.
if [ "$status" = 0 ]; then
    USER=Password "$loader" "$driver" "$(quotamin_winpath "$program")" \
        "$(quotamin_winpath "$watcher")" "$(quotamin_winpath "$shots")" password-user ||
        status=$?
fi
/usr/lib/wine/wineserver -k || true

for picture in "$shots"/*.bmp; do
    [ -e "$picture" ] || continue
    convert "$picture" "${picture%.bmp}.png" && rm "$picture"
done
echo "Screenshots: $(cd "$shots" && echo *.png)"
exit "$status"
