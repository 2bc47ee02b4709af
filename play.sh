#!/bin/sh
# Builds the game and starts it.
set -eu
cd "$(dirname "$0")"
tools/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default
exec build/default/permoroplus
