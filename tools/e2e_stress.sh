#!/usr/bin/env bash
# Runs the whole end-to-end suite N times while busy loops keep the cores
# loaded, as on a shared CI machine: a test that waits a fixed time instead
# of for what it can observe shows up here. Prints each run's result and a
# closing count; the output of every failed run goes to a log file.
#
# Usage: tools/e2e_stress.sh [-b BUILD_DIR] [-l LOOPS] N
#   BUILD_DIR  build directory to build the game in (or take it from);
#              default build/test, configured when missing
#   LOOPS      busy loops running meanwhile; default 2
# Needs the packages of tools/deps.sh (Xvfb, xdotool, openbox, ...).
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: $0 [-b BUILD_DIR] [-l LOOPS] N" >&2; exit 2; }
build=build/test
loops=2
while getopts b:l: opt; do
    case "$opt" in
        b) build="$OPTARG" ;;
        l) loops="$OPTARG" ;;
        *) usage ;;
    esac
done
shift $((OPTIND - 1))
[ $# -eq 1 ] || usage
runs="$1"
case "$runs$loops" in '' | *[!0-9]*) usage ;; esac
[ "$runs" -ge 1 ] || usage

# A new build is RelWithDebInfo, the project's default; any build gets the
# test hooks the suite drives the game through.
cmake -S . -B "$build" -DTESSALOOM_TEST_HOOKS=ON >/dev/null
cmake --build "$build" --target tessaloom assets forgetful_wm -j"$(nproc)" >/dev/null
count="$(ctest --test-dir "$build" -N -L e2e | awk '/^Total Tests:/ {print $3}')"
[ "${count:-0}" -gt 0 ] || { echo "no end-to-end tests in $build" >&2; exit 1; }

log="$PWD/$build/e2e-stress.log"
out="$(mktemp "${TMPDIR:-/tmp}/e2e-stress.XXXXXX")"
hogs=()
stop_hogs() {
    local pid
    for pid in "${hogs[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${hogs[@]}"; do wait "$pid" 2>/dev/null || true; done
    hogs=()
    rm -f "$out"
}
trap stop_hogs EXIT
trap 'exit 130' INT TERM
for _ in $(seq 1 "$loops"); do
    sh -c 'while :; do :; done' &
    hogs+=($!)
done

{
    echo "e2e stress: $runs runs of $count end-to-end tests in $build with $loops busy loops"
    echo "started $(date -u '+%Y-%m-%d %H:%M:%S') UTC on $(nproc) cores"
} >"$log"
echo "e2e stress: $runs runs of $count end-to-end tests, $loops busy loops; failures go to $log"

passed=0
failed=0
began=$(date +%s)
for run in $(seq 1 "$runs"); do
    start=$(date +%s)
    load="$(cut -d' ' -f1 /proc/loadavg)"
    if ctest --test-dir "$build" -L e2e --output-on-failure >"$out" 2>&1; then
        passed=$((passed + 1))
        echo "run $run/$runs: passed in $(( $(date +%s) - start )) s (load $load)"
    else
        failed=$((failed + 1))
        names="$(awk '/tests FAILED:/ {on = 1} on && /^[[:space:]]+[0-9]+ - / {print $3}' "$out" | tr '\n' ' ')"
        echo "run $run/$runs: FAILED in $(( $(date +%s) - start )) s (load $load): ${names:-see log}"
        { echo; echo "=== run $run: failed: $names"; cat "$out"; } >>"$log"
    fi
done
took=$(( $(date +%s) - began ))
echo "finished $(date -u '+%Y-%m-%d %H:%M:%S') UTC: $passed passed, $failed failed, $took s" >>"$log"
echo "e2e stress: $passed passed, $failed failed ($runs runs in $took s)"
[ "$failed" -eq 0 ]
