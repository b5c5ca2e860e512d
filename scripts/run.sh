#!/usr/bin/env bash
# Builds Scopewatch and starts it in a working directory of its own (run/), where it keeps
# its settings file and airport database. Pass --fresh to start over with an empty one.
# The first time, it also writes the demo simulator folder demo-sim/ to use in setup.
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
echo "In setup, enter the simulator folder: $demo"

workdir=run
if [ "${1:-}" = "--fresh" ]; then
    rm -rf "$workdir"
fi
mkdir -p "$workdir"
cd "$workdir"
exec ../build/scopewatch
