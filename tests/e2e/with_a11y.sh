#!/bin/sh
# Runs a command with a session bus and the accessibility bus up, as on a
# desktop where a screen reader may listen.
exec dbus-run-session -- sh -c '
    dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null &&
    exec "$@"' sh "$@"
