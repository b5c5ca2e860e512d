#!/usr/bin/env bash
# Builds the fuzz targets with clang into build-fuzz/ (or into a build folder already configured
# with SCOPEWATCH_FUZZ=ON, given with --in) and runs each one for a fixed time,
# starting from its seed corpus in fuzz/corpus/<target>/ (with fuzz/dict/<target>.dict when
# there is one). Inputs found on the way go to build-fuzz/corpus/<target>/, never into the
# repository, and later runs start from them too. Prints for every target the inputs it ran,
# the coverage it reached (edges) and whether it crashed; the table is also written to
# build-fuzz/fuzz-summary.txt. The targets run side by side, one per processor core. Fails when
# a target crashed: the input that did it is kept in build-fuzz/crashes/. (With --in DIR, all
# of these are in DIR.)
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
for target in "${targets[@]}"; do
    if [ ! -x "$out/fuzz/fuzz-$target" ]; then
        echo "fuzz.sh: no fuzz target $target (expected $out/fuzz/fuzz-$target)" >&2
        exit 1
    fi
done

# Runs one target and writes its row of the table to $out/logs/<target>.row.
run_target() {
    local target=$1
    local binary="$out/fuzz/fuzz-$target" log="$out/logs/$target.log" result=ok
    mkdir -p "$out/corpus/$target"
    local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048
                   -print_final_stats=1 -artifact_prefix="$out/crashes/$target-")
    if [ -f "fuzz/dict/$target.dict" ]; then
        options+=(-dict="fuzz/dict/$target.dict")
    fi
    local corpora=("$out/corpus/$target")
    if [ -d "fuzz/corpus/$target" ]; then
        corpora+=("fuzz/corpus/$target")
    fi
    "$binary" "${options[@]}" "${corpora[@]}" >"$log" 2>&1 || result="CRASHED (see $log)"
    # A run that stopped early may lack any of these lines.
    local inputs edges peak
    inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    edges=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2 || true)
    peak=$(sed -n 's/^stat::peak_rss_mb: *//p' "$log" | tail -1)
    printf '%-20s %12s %8s %10s  %s\n' "$target" "${inputs:-?}" "${edges:-?}" "${peak:-?}" \
        "$result" >"$out/logs/$target.row"
}

# The targets run side by side, one per processor core, each for the full time.
running=0
for target in "${targets[@]}"; do
    rm -f "$out/logs/$target.row"
    run_target "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$(nproc)" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

summary="$out/fuzz-summary.txt"
printf '%-20s %12s %8s %10s  %s\n' target inputs edges "peak MB" result | tee "$summary"
failed=0
for target in "${targets[@]}"; do
    row="$out/logs/$target.row"
    if [ ! -f "$row" ]; then
        printf '%-20s %s\n' "$target" "DID NOT RUN" >"$row"
    fi
    tee -a "$summary" <"$row"
    if ! grep -q ' ok$' "$row"; then
        failed=1
    fi
done
exit $failed
