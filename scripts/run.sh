#!/usr/bin/env bash
# Builds the program and starts it; any arguments are passed on (an outline file).
set -euo pipefail
start_folder="$PWD"
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target sorveka
cd "$start_folder"
exec "$OLDPWD/build/app/sorveka" "$@"
