#!/usr/bin/env bash
# Builds the game (Release) with its pictures and sounds, nothing else, and
# starts it. Safe to run again.
#   ./play.sh --web   builds the browser version and serves it on
#                     http://localhost:8080/ instead.
set -euo pipefail
cd "$(dirname "$0")"
if [ "${1:-}" = "--web" ]; then
    tools/web/build.sh
    echo "Play at http://localhost:8080/ (Ctrl+C stops the server)"
    exec python3 -m http.server 8080 --bind 127.0.0.1 --directory build/web/site
fi
. tools/deps.sh
# shellcheck disable=SC2086
ensure_packages $BUILD_PACKAGES
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTESSALOOM_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target tessaloom assets
exec ./build/release/tessaloom "$@"
