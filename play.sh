#!/usr/bin/env bash
# Builds the game (Release) with its pictures and sounds, nothing else, and
# starts it. Safe to run again.
set -euo pipefail
cd "$(dirname "$0")"
. tools/deps.sh
# shellcheck disable=SC2086
ensure_packages $BUILD_PACKAGES
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DTESSALOOM_TESTS=OFF >/dev/null
cmake --build build/release -j"$(nproc)" --target tessaloom assets
exec ./build/release/tessaloom "$@"
