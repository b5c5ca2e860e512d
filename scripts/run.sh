#!/usr/bin/env bash
# Builds Scopewatch and starts it in a working directory of its own (run/), where it keeps
# its settings file and airport database. Pass --fresh to start over with an empty one.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

workdir=run
if [ "${1:-}" = "--fresh" ]; then
    rm -rf "$workdir"
fi
mkdir -p "$workdir"
cd "$workdir"
exec ../build/scopewatch
