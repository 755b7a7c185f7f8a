#!/usr/bin/env bash
# Builds the benchmarks in build-bench (RelWithDebInfo), runs them and prints
# each figure beside its baseline, their ratio and the goal.
#
# Knobs: REPS (repetitions, median taken; default 5), MIN_TIME (seconds per
# repetition; default 0.5).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-bench
reps=${REPS:-5}
min_time=${MIN_TIME:-0.5}

mkdir -p "$build"
cmake --preset bench >"$build/configure.log" 2>&1 \
    || { cat "$build/configure.log" >&2; exit 1; }
if ! grep -q '^bench_core:' <(cmake --build "$build" --target help); then
    echo "bench.sh: Google Benchmark not found (apt-get install libbenchmark-dev)" >&2
    exit 1
fi
cmake --build --preset bench >&2

results="$build/results"
mkdir -p "$results"
for bench in bench_core bench_interaction; do
    echo "bench.sh: running $bench ($reps repetitions; log in $results/$bench.log)" >&2
    QT_QPA_PLATFORM=offscreen "$build/bench/$bench" \
        --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
        --benchmark_min_time="$min_time" \
        --benchmark_out="$results/$bench.json" --benchmark_out_format=json \
        >"$results/$bench.log" 2>&1
done

python3 bench/report.py "$results/bench_core.json" "$results/bench_interaction.json"
