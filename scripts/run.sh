#!/usr/bin/env bash
# Builds the Linux program and starts it as it starts in a user's desktop
# session. Uses the desktop in DISPLAY; when there is none, a virtual screen of
# its own (Xvfb) with a window manager (Openbox) and a panel with a
# notification area (tint2). Run as root, it makes the program's directory
# /var/lib/quotamin when it is missing, as an installation would.
# (scripts/run-windows.sh starts the Windows program under Wine.)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

cmake --preset linux >/dev/null
cmake --build --preset linux --target quotamin
program=$PWD/build/linux/ui/quotamin

if [ ! -d /var/lib/quotamin ]; then
    if [ "$(id -u)" = 0 ]; then
        mkdir -p -m 0755 /var/lib/quotamin
    else
        echo "/var/lib/quotamin is missing: the program cannot save until root makes it." >&2
    fi
fi

if [ -n "${DISPLAY:-}" ]; then
    exec "$program"
fi

# A virtual screen with a window manager and a notification area.
displayfile=$(mktemp)
Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp 9>"$displayfile" 2>/dev/null &
server=$!
desktop=()
cleanup() {
    kill "${desktop[@]}" "$server" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -f "$displayfile"
}
trap cleanup EXIT
for _ in $(seq 100); do
    [ -s "$displayfile" ] && break
    sleep 0.1
done
export DISPLAY=":$(head -n1 "$displayfile")"
openbox >/dev/null 2>&1 &
desktop+=($!)
tint2 >/dev/null 2>&1 &
desktop+=($!)
echo "No DISPLAY: running on the virtual screen $DISPLAY (Openbox, tint2)."
echo "See it with: DISPLAY=$DISPLAY import -window root screen.png"
"$program"
