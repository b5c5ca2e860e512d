#!/usr/bin/env bash
# Builds everything and runs every test, in stages whose times it prints at the end:
#   program      the program and its tools, optimised, into build/
#   install      scripts/check-install.sh on build/: the install and the Debian package; it
#                runs beside the sanitized build (mostly one process at a time: installing,
#                packaging, lintian) and prints its output when both are done
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

# background_stage NAME COMMAND...: starts the command beside the next stages, its output kept
# for finish_background_stage, which waits for it and notes its time as stage() does.
background_start=0
background_pid=""
background_log=""
background_name=""
background_stage() {
    background_name=$1
    shift
    background_log=$(mktemp)
    background_start=$SECONDS
    echo "== $background_name (beside the next stage)"
    "$@" >"$background_log" 2>&1 &
    background_pid=$!
}
finish_background_stage() {
    local status=0
    wait "$background_pid" || status=$?
    echo "== $background_name"
    cat "$background_log"
    rm -f "$background_log"
    stage_times+=("$(printf '%-10s %4d s' "$background_name" \
        $((SECONDS - background_start)))$([ $status -eq 0 ] || echo "  FAILED")")
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
background_stage install bash scripts/check-install.sh build
fuzz=ON
if [ "$skip_fuzz" = 1 ]; then
    fuzz=OFF
fi
# The install check's output and time are told even when the sanitized build fails.
sanitized=0
stage sanitized configure_and_build build-sanitize -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only -DSCOPEWATCH_SANITIZE=ON \
    -DSCOPEWATCH_FUZZ=$fuzz -DSCOPEWATCH_BUILD_TESTS=ON -DSCOPEWATCH_BENCHMARKS=ON || sanitized=$?
finish_background_stage
[ "$sanitized" -eq 0 ]
stage tests run_ctest build-sanitize
if [ "$fuzz" = ON ]; then
    stage fuzz bash scripts/fuzz.sh --in build-sanitize "$fuzz_seconds"
fi
