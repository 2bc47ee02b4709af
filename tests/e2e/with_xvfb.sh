#!/bin/sh
# Runs a command with an X server of its own. The server picks a free
# display itself and names it once it takes connections; servers start one
# at a time, so two never reach for the same display. The server never
# resets: by default an X server starts afresh whenever its last client
# leaves, and refuses connections meanwhile (a quick probe, or the
# accessibility bus launcher, leaving just as the program starts).
# Usage: with_xvfb.sh COMMAND [ARGS...]
set -u
named=$(mktemp)
exec 9>"${TMPDIR:-/tmp}/permoroplus-xvfb.lock"
flock 9
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$named" 9>&- 2>/dev/null &
server=$!
for _ in $(seq 200); do
    [ -s "$named" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.05
done
display=$(tr -dc '0-9' <"$named")
rm -f "$named"
flock -u 9
exec 9>&-
if [ -z "$display" ]; then
    echo "FAIL: the X server did not start"
    kill "$server" 2>/dev/null
    exit 1
fi
export DISPLAY=":$display"
export XVFB_PID="$server"
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit "$status"
