#!/usr/bin/env bash
# Runs one test program on its own virtual X display, so that focus, window activation and
# painting behave as on a desktop. Each call gets a free display number from the server.
set -euo pipefail
fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" 2>/dev/null &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null; rm -f "$fdfile"' EXIT
for _ in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.05
done
display=$(head -n1 "$fdfile")
[ -n "$display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
"$@"
