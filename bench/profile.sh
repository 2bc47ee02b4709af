#!/bin/sh
# Where the CPU time of play goes: the idle game (bench/idle_play.cpp, fixed
# chance) plays SECONDS (20) of course 1 under callgrind on an X server of
# its own; only the play is counted. Prints the instructions of the main
# parts of a frame; the whole profile stays in OUT (callgrind.out.play).
# Usage: bench/profile.sh [BUILD-DIR] [SECONDS] [OUT]
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
seconds=${2:-20}
out=${3:-callgrind.out.play}
cmake --build "$build" --target bench_idle_play >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" valgrind --tool=callgrind --collect-atstart=no \
    --toggle-collect='*::play(*' --callgrind-out-file="$out" "$build/bench/bench_idle_play" "$seconds" 1 2>/dev/null
callgrind_annotate --inclusive=yes --threshold=100 "$out" | /usr/bin/python3 "$(dirname "$0")/breakdown.py"
