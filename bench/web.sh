#!/bin/sh
# Runs the browser edition's benchmarks in headless Chromium and prints
# their figures (about five minutes): the game's, then the teacher's page
# reading cards off pictures. Usage: bench/web.sh
set -eu
cd "$(dirname "$0")/.."
tools/setup.sh --web
cmake --preset web >/dev/null
cmake --build --preset web >/dev/null
[ -d tests/web/node_modules/playwright-core ] || (cd tests/web && npm ci --no-audit --no-fund)
node bench/web.mjs
node bench/teacher_read.mjs
