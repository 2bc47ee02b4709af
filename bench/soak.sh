#!/bin/sh
# Five minutes (or SECONDS) of random clicks on the real program under Xvfb:
# at least 20 a second, anywhere in both windows. Prints the clicks sent,
# the games played and the resident memory after the first game and at the
# end. Usage: bench/soak.sh [SECONDS] [BUILD-DIR]
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-300}
build=${2:-build/default}
cmake --build "$build" --target permoroplus wm_close >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" sh tests/e2e/with_a11y.sh /usr/bin/python3 tests/e2e/soak.py \
    "$build/permoroplus" "$build/tests/wm_close" "$seconds" 2>&1 | grep -v -e 'dbus-daemon' -e 'SpiRegistry' -e XDG_RUNTIME_DIR
