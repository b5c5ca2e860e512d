#!/usr/bin/env bash
# Runs a test executable the way a screen reader sees the program: on an X display (Xvfb),
# with a session bus and the accessibility bus running, so that Qt's bridge to the bus is
# active and reports every accessibility event.
#   with-accessibility-bus.sh EXECUTABLE [ARGUMENTS...]
set -euo pipefail
if [ "${SCOPEWATCH_ON_ACCESSIBILITY_BUS:-}" != "1" ]; then
    export SCOPEWATCH_ON_ACCESSIBILITY_BUS=1
    exec dbus-run-session -- xvfb-run -a "$0" "$@"
fi
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
trap 'kill "$launcher" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    if dbus-send --session --print-reply --dest=org.freedesktop.DBus / \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q true; then
        break
    fi
    sleep 0.1
done
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"
