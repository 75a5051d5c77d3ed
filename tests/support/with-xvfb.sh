#!/usr/bin/env bash
# Runs a command on an X server of its own (Xvfb, 24-bit colour, so that
# pixels read back exactly as drawn), which is gone when the command is. The
# server picks a free display itself, so tests run side by side never collide.
set -euo pipefail
displayfile=$(mktemp)
runtime=$(mktemp -d)
Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$displayfile" 2>/dev/null &
server=$!
trap 'kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$displayfile" "$runtime"' EXIT
for _ in $(seq 100); do
    [ -s "$displayfile" ] && break
    sleep 0.1
done
[ -s "$displayfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$displayfile")"
export QT_QPA_PLATFORM=xcb
# The user's runtime directory, which Qt wants and the session claim uses.
export XDG_RUNTIME_DIR=$runtime
"$@"
