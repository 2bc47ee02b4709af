#!/bin/sh
# CPU time of play, side by side with TuxMath (Debian's tuxmath, when it is
# installed): each program in turn on an X server of its own, ROUNDS rounds
# (3), SECONDS seconds of play each (20) with no clicks. Ours plays course
# COURSE (1); TuxMath runs its demo game. The figure is the program's user +
# system time from /proc/PID/stat over the window, in percent of one core;
# the X server's own share is printed beside it.
# Usage: bench/cpu_side_by_side.sh [BUILD-DIR] [ROUNDS] [SECONDS] [COURSE]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
rounds=${2:-3}
seconds=${3:-20}
course=${4:-1}
cmake --build "$build" --target permoroplus >/dev/null
tuxmath=$(command -v tuxmath || command -v /usr/games/tuxmath || true)
hz=$(getconf CLK_TCK)

# utime + stime of a process, in clock ticks.
ticks() { awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$1/stat"; }

start_x() {
    named=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$named" 2>/dev/null &
    xpid=$!
    for _ in $(seq 200); do [ -s "$named" ] && break; sleep 0.05; done
    DISPLAY=":$(tr -dc '0-9' <"$named")"
    export DISPLAY
    rm -f "$named"
}

stop() { kill "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; }

# Measures `pid` and the X server over the window; prints "program% server%".
measure() {
    p0=$(ticks "$1") x0=$(ticks "$xpid")
    sleep "$seconds"
    p1=$(ticks "$1") x1=$(ticks "$xpid")
    awk -v p="$((p1 - p0))" -v x="$((x1 - x0))" -v hz="$hz" -v s="$seconds" \
        'BEGIN { printf "%5.2f %% of a core   (X server %5.2f %%)", 100 * p / hz / s, 100 * x / hz / s }'
}

ours() {
    start_x
    env -u DBUS_SESSION_BUS_ADDRESS "$build/permoroplus" >/dev/null 2>&1 &
    pid=$!
    # The game window comes after the opening's two seconds.
    window=$(timeout 20 xdotool search --sync --onlyvisible --name 'ペルモロプラス' | head -n 1)
    sleep 1
    # The course buttons stand in one column, 32 pixels apart.
    xdotool mousemove --window "$window" 48 $((53 + 32 * (course - 1))) click 1
    xdotool mousemove 1000 760  # away from the window: no hover
    sleep 1
    printf 'round %s  permoroplus (course %s): %s\n' "$1" "$course" "$(measure "$pid")"
    stop "$pid"
    stop "$xpid"
}

theirs() {
    start_x
    home=$(mktemp -d)  # its settings and scores go there, not into ours
    HOME=$home "$tuxmath" --demo --windowed --nosound >/dev/null 2>&1 &
    pid=$!
    sleep 5  # past its title screen and into the demo game
    printf 'round %s  tuxmath (demo game):       %s\n' "$1" "$(measure "$pid")"
    stop "$pid"
    stop "$xpid"
    rm -rf "$home"
}

echo "$seconds s of play per round; load before: $(cut -d' ' -f1-3 /proc/loadavg)"
for round in $(seq "$rounds"); do
    ours "$round"
    if [ -n "$tuxmath" ]; then theirs "$round"; fi
done
[ -n "$tuxmath" ] || echo "(tuxmath is not installed: apt-get install tuxmath)"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
