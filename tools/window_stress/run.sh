#!/usr/bin/env bash
# The window's two stress tests at full length: ROUNDS (default 200) closes
# through the window manager, each with a screen capture right after, and
# ROUNDS starts in a row on a display another client keeps busy. The
# end-to-end suite runs both with fewer rounds. Prints each test's time;
# fails when either fails.
#
# Usage: tools/window_stress/run.sh [ROUNDS] [PATH_OF_TESSALOOM]
# Without a path it builds build/test (the game and its assets) first.
# Needs the packages of tools/deps.sh (Xvfb, xdotool, openbox, wmctrl, ...).
set -euo pipefail
cd "$(dirname "$0")/../.."
rounds="${1:-200}"
exe="${2:-}"
case "$rounds" in '' | *[!0-9]* | 0) echo "usage: $0 [ROUNDS] [PATH_OF_TESSALOOM]" >&2; exit 2 ;; esac
if [ -z "$exe" ]; then
    cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALOOM_TEST_HOOKS=ON >/dev/null
    cmake --build build/test --target tessaloom assets -j"$(nproc)"
    exe=build/test/tessaloom
fi

failed=0
CLOSE_ROUNDS="$rounds" bash tests/e2e/close_capture.sh "$exe" || failed=$((failed + 1))
START_ROUNDS="$rounds" bash tests/e2e/busy_display.sh "$exe" || failed=$((failed + 1))
echo "window stress: $((2 - failed)) of 2 tests passed, $rounds rounds each"
[ "$failed" -eq 0 ]
