#!/usr/bin/env bash
# Builds everything and runs every test, in stages whose times it prints at the end:
#   program      the program and its tools, optimised, into build/
#   install      scripts/check-install.sh on build/: the install and the Debian package
#   sanitized    the tests, the fuzz targets and the benchmarks with clang under
#                AddressSanitizer + UndefinedBehaviorSanitizer, in one tree, build-sanitize/
#   tests        every test through ctest in build-sanitize/
#   fuzz         every fuzz target for 10 seconds in build-sanitize/ (scripts/fuzz.sh)
# SCOPEWATCH_SKIP_SANITIZE=1 builds and runs the tests in build/ instead, without sanitizers
# and without fuzzing; SCOPEWATCH_SKIP_FUZZ=1 leaves the fuzz targets out.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
fuzz_seconds=10
stage_times=()

print_stage_times() {
    if [ ${#stage_times[@]} -gt 0 ]; then
        echo
        echo "Stage times:"
        printf '  %s\n' "${stage_times[@]}"
    fi
}
trap print_stage_times EXIT

# stage NAME COMMAND...: runs the command and notes how long it took, even when it fails. (The
# command runs where errexit is off, so each function below chains its steps with &&.)
stage() {
    local name=$1
    shift
    local start=$SECONDS status=0
    echo "== $name"
    "$@" || status=$?
    stage_times+=("$(printf '%-10s %4d s' "$name" $((SECONDS - start)))$([ $status -eq 0 ] ||
        echo "  FAILED")")
    return $status
}

configure_and_build() {
    local dir=$1
    shift
    cmake -S . -B "$dir" "$@" >/dev/null && cmake --build "$dir" -j "$jobs"
}

run_ctest() {
    (cd "$1" && ctest --output-on-failure -j "$jobs" --timeout 300)
}

skip_sanitize=${SCOPEWATCH_SKIP_SANITIZE:-0}
skip_fuzz=${SCOPEWATCH_SKIP_FUZZ:-0}
stage dependencies bash scripts/install-deps.sh
if [ "$skip_sanitize" = 1 ]; then
    stage program configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSCOPEWATCH_BENCHMARKS=ON -DSCOPEWATCH_BUILD_TESTS=ON
    stage install bash scripts/check-install.sh build
    stage tests run_ctest build
    exit 0
fi

stage program configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSCOPEWATCH_BUILD_TESTS=OFF
stage install bash scripts/check-install.sh build
fuzz=ON
if [ "$skip_fuzz" = 1 ]; then
    fuzz=OFF
fi
stage sanitized configure_and_build build-sanitize -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only -DSCOPEWATCH_SANITIZE=ON \
    -DSCOPEWATCH_FUZZ=$fuzz -DSCOPEWATCH_BUILD_TESTS=ON -DSCOPEWATCH_BENCHMARKS=ON
stage tests run_ctest build-sanitize
if [ "$fuzz" = ON ]; then
    stage fuzz bash scripts/fuzz.sh --in build-sanitize "$fuzz_seconds"
fi
