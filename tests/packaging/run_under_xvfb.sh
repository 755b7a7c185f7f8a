#!/bin/sh
# Runs a test program on a virtual X server with the tools it drives the
# installed program with; skips (exit 77) when one of them is missing.
for tool in xvfb-run xdotool import; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "SKIP: $tool is not installed (Debian packages xvfb, xdotool, imagemagick), so the installed program is not driven"
        exit 77
    fi
done
# -noreset: without it the server restarts whenever its last client leaves,
# and a test that connects again at that moment finds no display.
exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$@"
