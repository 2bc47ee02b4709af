#!/bin/sh
# Builds everything twice, normally and with the address and
# undefined-behaviour sanitizers, and runs every test in both builds; then
# builds the browser edition and runs its tests in Chromium, Firefox ESR and
# WebKitGTK. Last, a short run of every fuzz target, with their build.
set -eu
cd "$(dirname "$0")"
tools/setup.sh --web
for preset in default sanitize web; do
    echo "== $preset build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
echo "== fuzz"
tools/fuzz.sh 15
