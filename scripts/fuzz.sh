#!/usr/bin/env bash
# Builds the outline reader's libFuzzer targets with clang into build-fuzz/ and
# runs each for SECONDS (default 60), seeded with the test fixtures. Prints
# each fuzzer's execution count; a crash leaves its input in
# build-fuzz/artifacts/ and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

if ! command -v clang >/dev/null || ! command -v clang++ >/dev/null; then
    echo "fuzz: skipped, clang is not installed (apt-get install clang)"
    exit 0
fi
# The fuzzer runtime comes with libclang-rt-14-dev; try linking a fuzzer to see.
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' \
    >"$probe/probe.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" 2>/dev/null; then
    echo "fuzz: skipped, clang cannot link a fuzzer (apt-get install libclang-rt-14-dev)"
    exit 0
fi

build=build-fuzz
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# libFuzzer adds what it finds to the first corpus folder, so the fixtures are
# copied rather than handed over.
seeds="$build/seeds"
mkdir -p "$seeds" "$build/artifacts"
cp tests/file/fixtures/*.svk tests/cli/fixtures/*.svk "$seeds/"

status=0
for fuzzer in fuzz_reader fuzz_roundtrip; do
    corpus="$build/corpus/$fuzzer"
    mkdir -p "$corpus"
    log="$build/$fuzzer.log"
    if "$build/fuzz/$fuzzer" "$corpus" "$seeds" -dict=fuzz/svk.dict \
            -max_total_time="$seconds" -print_final_stats=1 \
            -artifact_prefix="$build/artifacts/$fuzzer-" >"$log" 2>&1; then
        result="no finding"
    else
        result="FINDING, see $log and $build/artifacts/"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    echo "$fuzzer: ${runs:-?} executions in ${seconds} s, $result"
done
exit "$status"
