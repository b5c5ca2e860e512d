#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ (or into a build folder already configured
# with SCOPEWATCH_FUZZ=ON, given with --in) and runs each one for a fixed time,
# starting from its seed corpus in fuzz/corpus/<target>/ (with fuzz/dict/<target>.dict when
# there is one). Inputs found on the way go to build-fuzz/corpus/<target>/, never into the
# repository, and later runs start from them too. Prints for every target the inputs it ran,
# the coverage it reached (edges) and whether it crashed; the table is also written to
# build-fuzz/fuzz-summary.txt. Fails when a target crashed: the input that did it is kept in
# build-fuzz/crashes/. (With --in DIR, all of these are in DIR.)
#
#   bash scripts/fuzz.sh [--in DIR] [SECONDS [TARGET...]]
#       every target (or those named) for SECONDS each (default 20)
#   bash scripts/fuzz.sh --seeds
#       writes fuzz/corpus/ anew with scopewatch-fuzz-seeds (builds build/ first)
set -euo pipefail
cd "$(dirname "$0")/.."

launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

if [ "${1:-}" = "--seeds" ]; then
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
    cmake --build build -j "$(nproc)" --target scopewatch-fuzz-seeds
    rm -rf fuzz/corpus
    build/scopewatch-fuzz-seeds fuzz/corpus
    exit 0
fi

if ! command -v clang++ >/dev/null; then
    echo "fuzz.sh: clang++ is not installed; the fuzz targets need it" >&2
    exit 1
fi

out=build-fuzz
if [ "${1:-}" = "--in" ]; then
    out=${2:?fuzz.sh: --in needs a build folder}
    shift 2
else
    cmake -S . -B "$out" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSCOPEWATCH_FUZZ=ON -DSCOPEWATCH_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
fi
seconds=${1:-20}
shift || true
cmake --build "$out" -j "$(nproc)" --target fuzz-targets

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for binary in "$out"/fuzz/fuzz-*; do
        if [ -f "$binary" ] && [ -x "$binary" ]; then
            targets+=("${binary##*/fuzz-}")
        fi
    done
fi

mkdir -p "$out/crashes" "$out/logs"
summary="$out/fuzz-summary.txt"
printf '%-20s %12s %8s %10s  %s\n' target inputs edges "peak MB" result | tee "$summary"
failed=0
for target in "${targets[@]}"; do
    binary="$out/fuzz/fuzz-$target"
    if [ ! -x "$binary" ]; then
        echo "fuzz.sh: no fuzz target $target (expected $binary)" >&2
        exit 1
    fi
    mkdir -p "$out/corpus/$target"
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$out/crashes/$target-")
    if [ -f "fuzz/dict/$target.dict" ]; then
        options+=(-dict="fuzz/dict/$target.dict")
    fi
    corpora=("$out/corpus/$target")
    if [ -d "fuzz/corpus/$target" ]; then
        corpora+=("fuzz/corpus/$target")
    fi
    log="$out/logs/$target.log"
    result=ok
    "$binary" "${options[@]}" "${corpora[@]}" >"$log" 2>&1 \
        || result="CRASHED (see $log)"
    inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    edges=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    peak=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -1)
    printf '%-20s %12s %8s %10s  %s\n' "$target" "${inputs:-?}" "${edges:-?}" "${peak:-?}" \
        "$result" | tee -a "$summary"
    if [ "$result" != ok ]; then
        failed=1
    fi
done
exit $failed
