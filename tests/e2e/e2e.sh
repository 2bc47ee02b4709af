#!/bin/sh
# The real program on a real X server, driven from outside as a person
# would. Usage: e2e.sh PROGRAM WM_CLOSE CASE [DELAY]   (with an X server: with_xvfb.sh)
set -u
program=$1 wm_close=$2 case=$3

opening_title='オープニング'
main_title='ペルモロプラスver.1.0'

fail() { echo "FAIL ($case): $*"; kill "$pid" 2>/dev/null; exit 1; }

# Milliseconds since the epoch.
now() { date +%s%3N; }

# The id of the visible window with this title, waiting up to $2 seconds.
find_window() {
    deadline=$(( $(now) + $2 * 1000 ))
    while [ "$(now)" -lt "$deadline" ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.02
    done
    return 1
}

# Waits up to $1 ms for the program to end; fails unless it exits with 0.
expect_exit() {
    deadline=$(( $(now) + $1 ))
    while kill -0 "$pid" 2>/dev/null; do
        [ "$(now)" -lt "$deadline" ] || fail "still running $1 ms after the close"
        [ -z "${2:-}" ] || ! xdotool search --onlyvisible --name "^$main_title\$" >/dev/null 2>&1 ||
            fail "the game window appeared after the opening window was closed"
        sleep 0.02
    done
    wait "$pid"
    status=$?
    [ "$status" -eq 0 ] || fail "exit status $status"
}

size_of() { xdotool getwindowgeometry "$1" | sed -n 's/.*Geometry: //p'; }

# The X server first: it may still be starting.
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

"$program" &
pid=$!
started=$(now)

opening=$(find_window "$opening_title" 5) || fail "no opening window"
[ "$(size_of "$opening")" = "426x222" ] || fail "opening window is $(size_of "$opening")"

case $case in
handover)
    main=$(find_window "$main_title" 10) || fail "the game window never appeared"
    took=$(( $(now) - started ))
    [ "$(size_of "$main")" = "612x491" ] || fail "game window is $(size_of "$main")"
    sleep 0.2
    ! xdotool search --onlyvisible --name "^$opening_title\$" >/dev/null 2>&1 || fail "the opening window stayed"
    [ "$took" -ge 1900 ] || fail "hand-over after only $took ms"
    echo "hand-over seen $took ms after start"
    "$wm_close" "$main"
    expect_exit 1000
    ;;
close-opening)
    sleep 0.3
    "$wm_close" "$opening"
    expect_exit 1000 watch-main
    # Well past the time of the hand-over: still nothing.
    ;;
close-main)
    main=$(find_window "$main_title" 10) || fail "the game window never appeared"
    # A game in progress: choose a course first.
    xdotool mousemove --window "$main" 48 117 click 1
    sleep 0.5
    "$wm_close" "$main"
    expect_exit 1000
    ;;
close-during-handover)
    # Close requests around the moment of the hand-over: before it, the
    # program ends; after it, the game window carries on until closed.
    sleep "$4"
    "$wm_close" "$opening" 2>/dev/null
    sleep 1
    if kill -0 "$pid" 2>/dev/null; then
        main=$(find_window "$main_title" 2) || fail "running, but no game window"
        echo "closed the opening window ${4}s after it appeared: the game window took over"
        "$wm_close" "$main"
    else
        echo "closed the opening window ${4}s after it appeared: the program ended"
    fi
    expect_exit 1000
    ;;
close-main-at-handover)
    main=$(find_window "$main_title" 10) || fail "the game window never appeared"
    "$wm_close" "$main"
    expect_exit 1000
    ;;
*)
    fail "unknown case"
    ;;
esac
echo "PASS ($case)"
