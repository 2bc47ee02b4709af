#!/bin/sh
# Builds everything twice, normally and with the address and
# undefined-behaviour sanitizers, and runs every test in both builds.
set -eu
cd "$(dirname "$0")"
tools/setup.sh
for preset in default sanitize; do
    echo "== $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
