#!/usr/bin/env bash
# Builds everything and runs every test through ctest: first a normal build in build/, whose
# install and Debian package scripts/check-install.sh then checks, then an AddressSanitizer +
# UndefinedBehaviorSanitizer build in build-asan/; then, when clang++ is installed, every fuzz
# target for 20 seconds (scripts/fuzz.sh, in build-fuzz/).
# Set SCOPEWATCH_SKIP_SANITIZE=1 to run the normal build only, SCOPEWATCH_SKIP_FUZZ=1 to
# leave the fuzz targets out.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
jobs=$(nproc)

run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300)
}

run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCOPEWATCH_BENCHMARKS=ON
bash scripts/check-install.sh build
if [ "${SCOPEWATCH_SKIP_SANITIZE:-0}" != "1" ]; then
    run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DSCOPEWATCH_SANITIZE=ON
fi
if [ "${SCOPEWATCH_SKIP_FUZZ:-0}" != "1" ]; then
    if command -v clang++ >/dev/null; then
        bash scripts/fuzz.sh 20
    else
        echo "test.sh: clang++ is not installed, so the fuzz targets are not run"
    fi
fi
