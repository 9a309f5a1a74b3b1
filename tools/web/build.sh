#!/usr/bin/env bash
# Builds the browser version into build/web/site/ (index.html, tessaloom.js,
# tessaloom.wasm): the folder to serve or to copy to any static host.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/deps.sh
# shellcheck disable=SC2086
ensure_packages $WEB_PACKAGES
# The compiler's JavaScript optimiser looks for its parser here.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S . -B build/web -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/web -j"$(nproc)" --target tessaloom_page
echo "build/web/site/ is ready"
