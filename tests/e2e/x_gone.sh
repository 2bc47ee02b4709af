#!/bin/sh
# The X server goes away in mid-game: the program must end by itself,
# without hanging. Usage: with_xvfb.sh x_gone.sh PROGRAM
set -u
program=$1
xserver=$XVFB_PID

now() { date +%s%3N; }

"$program" 2>/tmp/x_gone.$$.log &
pid=$!
main=""
for _ in $(seq 200); do
    main=$(xdotool search --onlyvisible --name '^ペルモロプラスver.1.0$' 2>/dev/null | head -n 1)
    [ -n "$main" ] && break
    sleep 0.05
done
[ -n "$main" ] || { echo "FAIL: no game window"; kill "$pid" "$xserver"; exit 1; }
xdotool mousemove --window "$main" 48 117 click 1
sleep 1

kill -KILL "$xserver"
gone=$(now)
while kill -0 "$pid" 2>/dev/null; do
    if [ $(( $(now) - gone )) -gt 5000 ]; then
        echo "FAIL: still running 5 s after the X server went away"
        kill -KILL "$pid"
        exit 1
    fi
    sleep 0.05
done
wait "$pid"
status=$?
echo "the program ended $(( $(now) - gone )) ms after the X server went away, with status $status: $(head -c 200 /tmp/x_gone.$$.log | tr '\n' ' ')"
rm -f /tmp/x_gone.$$.log
# A crash (a signal) is a failure; an orderly exit is what we want.
[ "$status" -lt 128 ] || { echo "FAIL: killed by signal $(( status - 128 ))"; exit 1; }
echo "PASS (x-server-gone)"
