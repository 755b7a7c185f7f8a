#!/usr/bin/env bash
# Builds everything and runs every test: the reader's fuzzers for a minute
# each, the whole suite under AddressSanitizer and UBSan, then the suite as
# shipped, whose ctest summary closes the output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default
cmake --build --preset default

scripts/fuzz.sh 60

# The package tests install system-wide and valgrind cannot run sanitized
# programs, so those run once, in the plain build below.
cmake --preset asan
cmake --build --preset asan
ctest --preset asan --label-exclude 'packaging|valgrind'

ctest --preset default
