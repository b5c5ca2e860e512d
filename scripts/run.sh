#!/usr/bin/env bash
# Builds Scopewatch and starts it in a fresh working directory of its own (run/), where it
# keeps its settings file and airport database, so every start is a first run: setup, the
# database build, then the airport window. Pass --keep to reuse run/ from the last start.
# The first time, it also writes the demo simulator folder demo-sim/ to enter in setup.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

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
echo "In setup, enter the simulator folder: $demo"
echo "In the airport window, search for: intl"
cd "$workdir"
exec ../build/scopewatch
