#!/bin/sh
# Runs a program under valgrind's leak checker and fails on any definite
# leak or memory error; exits 77 (skipped) when valgrind is not installed.
# Usage: run_valgrind.sh SUPPRESSIONS PROGRAM [ARGUMENTS...]
if ! command -v valgrind >/dev/null 2>&1; then
    echo "SKIP: valgrind is not installed"
    exit 77
fi
suppressions=$1
shift
exec valgrind --leak-check=full --errors-for-leak-kinds=definite --show-leak-kinds=definite \
    --error-exitcode=1 --num-callers=40 --suppressions="$suppressions" "$@"
