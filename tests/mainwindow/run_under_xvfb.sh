#!/bin/sh
# Runs a test program on a virtual X server; skips (exit 77) without one.
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "SKIP: xvfb-run is not installed, so the real program's window is not tested"
    exit 77
fi
# -noreset: without it the server restarts whenever its last client leaves,
# and a test that connects again at that moment finds no display.
exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$@"
