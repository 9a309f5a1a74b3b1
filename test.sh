#!/usr/bin/env bash
# Builds everything and runs every test: unit tests, end-to-end tests under
# Xvfb (each test starts its own), the browser version's end-to-end tests in
# headless Chromium, the unit tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the window's
# end-to-end tests built with ThreadSanitizer. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
# shellcheck disable=SC2086
ensure_packages $BUILD_PACKAGES $TEST_PACKAGES
jobs="$(nproc)"

# With the hooks the end-to-end tests drive the game through (a player's
# build has none).
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSALOOM_TEST_HOOKS=ON >/dev/null
cmake --build build/test -j"$jobs"
# The browser version, for the web tests in the same run. Without root and
# without its packages they report themselves skipped.
# shellcheck disable=SC2086
web_missing="$(missing_packages $WEB_PACKAGES $WEB_TEST_PACKAGES)"
if [ -z "$web_missing" ] || [ "$(id -u)" -eq 0 ]; then
    # shellcheck disable=SC2086
    ensure_packages $WEB_PACKAGES $WEB_TEST_PACKAGES
    tools/web/build.sh
else
    echo "The browser tests will be skipped. To run them: sudo apt-get install -y$web_missing"
fi
ctest --test-dir build/test --output-on-failure -j"$jobs"

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTESSALOOM_SANITIZE=address,undefined -DTESSALOOM_GAME=OFF >/dev/null
cmake --build build/sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build/sanitize --output-on-failure -j"$jobs" -L unit

# The window's two threads, the audio callback and every way out, under
# ThreadSanitizer; any report fails the run.
tools/tsan/run.sh 1
