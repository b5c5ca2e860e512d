#!/usr/bin/env bash
# Builds Scopewatch and starts it on the demo, in a fresh working directory of its own (run/)
# where it keeps its settings file and airport database:
#   bash scripts/run.sh               run/ is prepared as setup and the database build would
#                                     leave it (scopewatch-build-db on the demo folder), so
#                                     Scopewatch opens at the airport window
#   bash scripts/run.sh --first-run   run/ starts empty: setup, the database build, then the
#                                     airport window, as on a real first run
#   bash scripts/run.sh --keep        reuses run/ from the last start as it stands
# The first time, it also writes the demo simulator folder demo-sim/. It starts the demo
# session host on this machine's loopback address in the background, so there is a session
# with pilots to join; the host stops when Scopewatch ends.
set -euo pipefail
cd "$(dirname "$0")/.."

start=prepared
case "${1:-}" in
    "") ;;
    --first-run) start=first-run ;;
    --keep) start=keep ;;
    *)
        echo "usage: bash scripts/run.sh [--first-run | --keep]" >&2
        exit 2
        ;;
esac

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target scopewatch scopewatch-build-db \
    scopewatch-make-demo-sim scopewatch-demo-host

# A small made-up simulator folder, in place of the real simulator's.
demo="$PWD/demo-sim"
if [ ! -f "$demo/scenery.cfg" ]; then
    build/scopewatch-make-demo-sim "$demo" >/dev/null
fi

workdir=run
if [ "$start" != keep ]; then
    rm -rf "$workdir"
fi
mkdir -p "$workdir"

# What setup and "Creating Database" write: the settings file for the demo folder and the
# airport database, each replaced in one step as the program replaces them.
if [ "$start" == prepared ]; then
    if ! (cd "$workdir" && ../build/scopewatch-build-db "$demo" >build-db.log 2>&1); then
        cat "$workdir/build-db.log"
        echo "The airport database could not be built; see above."
        exit 1
    fi
    echo "Database built from $demo: $(tail -n 1 "$workdir/build-db.log")"
fi

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

echo
echo "What to do in the windows:"
if [ "$start" == first-run ]; then
    cat <<TEXT
  Setup ("Completing setup - settings"): type the simulator folder  $demo
    and press "NEXT STEP --->". In "Creating Database" press "CREATE ATC DATABASE FILE"
    and answer OK to each message.
TEXT
fi
cat <<TEXT
  1. Airport window: type  intl  and press "SEARCH AIRPORT"; select "Eldorado Intl".
  2. Press "GET AIRPORT".
  3. Connection dialog: click "Internet TCP/IP Connection For DirectPlay", press
     "Locate Session", type the host address  127.0.0.1  and press OK.
  4. Click "Eldorado Fly-in (5/8)", press "Join Session" and OK on "Connected To FS Session!".
  The scope opens on Eldorado Intl with the pilots moving. The demo host logs to
  $workdir/demo-host.log.
TEXT
if [ "$start" == prepared ]; then
    echo "  (bash scripts/run.sh --first-run starts with setup and the database build instead.)"
fi
echo
cd "$workdir"
../build/scopewatch
