#!/usr/bin/env bash
# Builds the benchmarks in build-bench (RelWithDebInfo), runs them and prints
# each figure beside its baseline, their ratio and the goal.
#
# Knobs: REPS (repetitions, median taken; default 5), MIN_TIME (seconds per
# repetition; default 0.5), SORVEKA_BENCH_DATA (folder of the generated
# huge-bodies outline; default /tmp/sorveka-bench/data, made when missing),
# GEN_OUTLINE (the generator script).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-bench
reps=${REPS:-5}
min_time=${MIN_TIME:-0.5}
export SORVEKA_BENCH_DATA=${SORVEKA_BENCH_DATA:-/tmp/sorveka-bench/data}
gen_outline=${GEN_OUTLINE:-/work/shared/bench/gen_outline.py}

mkdir -p "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1 \
    || { cat "$build/configure.log" >&2; exit 1; }
if ! grep -q '^bench_core:' <(cmake --build "$build" --target help); then
    echo "bench.sh: Google Benchmark not found (apt-get install libbenchmark-dev)" >&2
    exit 1
fi
cmake --build "$build" -j2 --target bench_core bench_interaction >&2

if [[ ! -f "$SORVEKA_BENCH_DATA/bench-huge-bodies.svk" ]]; then
    echo "bench.sh: generating the huge-bodies outline in $SORVEKA_BENCH_DATA" >&2
    python3 "$gen_outline" --out "$SORVEKA_BENCH_DATA" huge-bodies >&2
fi

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
