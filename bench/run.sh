#!/bin/sh
# Runs the benchmarks of the real program under Xvfb and prints their
# figures. Usage: bench/run.sh [BUILD-DIR]   (default build/default)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build/default}
cmake --build "$build" --target bench_realtime permoroplus >/dev/null

xvfb() { xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$@"; }

echo "== start-up (5 runs)"
for run in 1 2 3 4 5; do
    xvfb sh -c "exec $build/bench/bench_realtime startup \$(date +%s%N)"
done

echo "== a whole game"
xvfb "$build/bench/bench_realtime" game
