#!/usr/bin/env bash
# Builds the program and starts it; any arguments are passed on (an outline file).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
cmake -S "$here" --preset default >/dev/null
cmake --build "$here/build" -j2 --target sorveka
exec "$here/build/app/sorveka" "$@"
