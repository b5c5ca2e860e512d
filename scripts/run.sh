#!/usr/bin/env bash
# Builds Scopewatch and starts it in a fresh working directory of its own (run/), where it
# keeps its settings file and airport database, so every start is a first run: setup, the
# database build, the airport window, then the connection dialog and the live scope. Pass
# --keep to reuse run/ from the last start.
# The first time, it also writes the demo simulator folder demo-sim/ to enter in setup. It
# starts the demo session host on this machine's loopback address in the background, so
# there is a session with pilots to join; the host stops when Scopewatch ends.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target scopewatch scopewatch-make-demo-sim scopewatch-demo-host

# A small made-up simulator folder to enter in setup in place of the real simulator's.
demo="$PWD/demo-sim"
if [ ! -f "$demo/scenery.cfg" ]; then
    build/scopewatch-make-demo-sim "$demo"
fi

workdir=run
if [ "${1:-}" != "--keep" ]; then
    rm -rf "$workdir"
fi
mkdir -p "$workdir"

# The demo session "Eldorado Fly-in": five pilots at Eldorado Intl, on 127.0.0.1.
build/scopewatch-demo-host --bind 127.0.0.1 --quiet >"$workdir/demo-host.log" 2>&1 &
host=$!
trap 'kill "$host" 2>/dev/null || true; wait "$host" 2>/dev/null || true' EXIT
sleep 1
if ! kill -0 "$host" 2>/dev/null; then
    echo "The demo session host did not start (see $workdir/demo-host.log):"
    cat "$workdir/demo-host.log"
    echo "Scopewatch starts anyway; join a session of your own."
fi

cat <<TEXT

What to type where:
  Setup ("Completing setup - settings"): the simulator folder $demo
    then "NEXT STEP --->", and in "Creating Database" "CREATE ATC DATABASE FILE" (answer OK).
  Airport window: search for  intl  select "Eldorado Intl", press "GET AIRPORT".
  Connection dialog: click "Internet TCP/IP Connection For DirectPlay", press "Locate Session",
    type the host address  127.0.0.1  and OK; click "Eldorado Fly-in (5/8)", press "Join Session".
  The scope opens on Eldorado Intl with the pilots moving. The demo host logs to $workdir/demo-host.log.

TEXT
cd "$workdir"
../build/scopewatch
