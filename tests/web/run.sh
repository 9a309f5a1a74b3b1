#!/usr/bin/env bash
# Runs one of the browser version's end-to-end tests (page_test.mjs) in
# headless Chromium:
#   run.sh <test> <site folder> <screenshots_tool> <asset folder> <tessaloom-replay> <recordings>
# Reports itself skipped (77), saying why, when the page is not built or
# node or Chromium is missing (./test.sh installs and builds them as root).
set -euo pipefail
test="$1" site="$2" shots="$3" assets="$4" replay_tool="$5" data="$6"
for tool in node chromium; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (tools/deps.sh lists WEB_PACKAGES; ./test.sh installs them as root)"
        exit 77
    fi
done
if [ ! -f "$site/tessaloom.wasm" ] || [ ! -f "$site/index.html" ]; then
    echo "SKIPPED: the browser version is not built in $site (tools/web/build.sh builds it)"
    exit 77
fi
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
# The native title frame, from the screenshot tool on the headless platform.
"$shots" "$assets" "$tmp" >/dev/null
node "$(dirname "$0")/page_test.mjs" "$test" --site "$site" --title "$tmp/title.ppm" --assets "$assets" \
    --replay-tool "$replay_tool" --data "$data"
