#!/usr/bin/env bash
# Checks the formatting, builds everything, runs clang-tidy's checks on the
# program's sources and runs every test: the reader's fuzzers for a minute
# each, the whole suite under AddressSanitizer and UBSan, then the suite as
# shipped, whose ctest summary closes the output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

# Formatting drift fails at once, before anything is built.
git ls-files -z -- '*.cpp' '*.h' '*.c' | xargs -0 clang-format --dry-run -Werror

cmake --preset default
cmake --build --preset default

# Any report of the configured checks fails the run (.clang-tidy).
run-clang-tidy -p build -quiet -j 2 "$PWD/(document|file|mainwindow|about|resources|cli|app)/[^/]*\.cpp$" \
    >build/clang-tidy.log 2>&1 || { grep -E 'warning:|error:' build/clang-tidy.log >&2; exit 1; }
echo "clang-tidy: no reports"

scripts/fuzz.sh 60

# The package tests install system-wide and valgrind cannot run sanitized
# programs, so those run once, in the plain build below.
cmake --preset asan
cmake --build --preset asan
ctest --preset asan --label-exclude 'packaging|valgrind'

ctest --preset default
