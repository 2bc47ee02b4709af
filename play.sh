#!/bin/sh
# Builds the game and starts it.
#   ./play.sh          the desktop edition
#   ./play.sh --web    the browser edition: builds the site, serves it on
#                      127.0.0.1 only, prints its address and opens a browser
#                      where one is found (Ctrl+C stops the server)
set -eu
cd "$(dirname "$0")"
if [ "${1:-}" = "--web" ]; then
    tools/setup.sh --web
    cmake --preset web >/dev/null
    cmake --build --preset web
    exec node tools/serve_web.mjs build/web/site "${PERMORO_PORT:-8612}" --open
fi
tools/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec build/default/permoroplus
