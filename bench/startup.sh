#!/usr/bin/env bash
# Start-up of the real game under Xvfb: the time from exec to the first
# presented frame, over RUNS runs (default 20), with the generated assets.
# The game's measurement hook (TESSALOOM_EXIT_AFTER_FIRST_FRAME) prints the
# wall-clock time of its first present on stderr and quits right after it;
# the whole run, exit included, is timed too. Prints every run and the
# median, minimum and maximum. Target: median start-up <= 45 ms.
#
# With --command, any X program is measured from outside instead, on the
# same kind of display: the time from exec until a new window of it shows
# more than one colour (bench_first_picture), over RUNS runs. Give the game
# itself as the command to compare it with another program the same way,
# in the same run.
#
# Usage: bench/startup.sh [RUNS] [PATH_OF_TESSALOOM]
#        bench/startup.sh --command RUNS COMMAND [ARGUMENTS...]
# Without a path it builds build/bench (Release, game and assets) first.
set -euo pipefail
cd "$(dirname "$0")/.."
command_mode=""
if [ "${1:-}" = --command ]; then
    command_mode=1
    shift
fi
runs="${1:-20}"
exe="${2:-}"
usage="usage: $0 [RUNS] [PATH_OF_TESSALOOM] | $0 --command RUNS COMMAND [ARGUMENTS...]"
case "$runs" in '' | *[!0-9]* | 0) echo "$usage" >&2; exit 2 ;; esac

# median FILE: the middle value of a column of numbers (mean of the two
# middle ones for an even count).
median() {
    sort -n "$1" | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

if [ -n "$command_mode" ]; then
    [ $# -ge 2 ] || { echo "$usage" >&2; exit 2; }
    shift
    cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTESSALOOM_BENCH=ON -DTESSALOOM_GAME=ON >/dev/null
    cmake --build build/bench --target bench_first_picture -j2 >/dev/null
    watcher="$PWD/build/bench/bench/bench_first_picture"
    . tests/e2e/lib.sh
    e2e_init "$watcher"
    start_display
    : >"$E2E_TMP/first.ms"
    for i in $(seq 1 "$runs"); do
        out="$(cd "$E2E_TMP" && "$watcher" "$@" 2>"$E2E_TMP/watch.err")" ||
            fail "run $i: $(cat "$E2E_TMP/watch.err")"
        ms="$(sed -n 's/^first picture after \([0-9.]*\) ms$/\1/p' <<<"$out")"
        echo "$ms" >>"$E2E_TMP/first.ms"
        echo "run $i: first picture ${ms} ms"
    done
    echo "exec to first drawn picture of $1, watched from outside: median $(median "$E2E_TMP/first.ms") ms," \
        "min $(sort -n "$E2E_TMP/first.ms" | head -n1), max $(sort -n "$E2E_TMP/first.ms" | tail -n1) ms ($runs runs)"
    exit 0
fi

. bench/lib.sh
bench_game "$exe"

: >"$E2E_TMP/first.ms"
: >"$E2E_TMP/whole.ms"
for i in $(seq 1 "$runs"); do
    (
        cd "$E2E_TMP"
        export TESSALOOM_EXIT_AFTER_FIRST_FRAME=1
        printf '%s\n' "$EPOCHREALTIME" >t0
        exec "$E2E_EXE" 2>game.err >game.out
    ) &
    E2E_GAME_PID=$!
    # Waited for directly, so the whole run is timed to the exit; a watchdog
    # kills a game that never quits.
    (
        for _ in $(seq 1 100); do
            sleep 0.1
            kill -0 "$E2E_GAME_PID" 2>/dev/null || exit 0
        done
        kill -KILL "$E2E_GAME_PID" 2>/dev/null
    ) &
    watchdog=$!
    E2E_EXIT_CODE=0
    wait "$E2E_GAME_PID" || E2E_EXIT_CODE=$?
    t1=$EPOCHREALTIME
    E2E_GAME_PID=""
    wait "$watchdog" 2>/dev/null || true
    [ "$E2E_EXIT_CODE" -eq 0 ] || fail "run $i: exit code $E2E_EXIT_CODE"
    t0="$(cat "$E2E_TMP/t0")"
    shown="$(sed -n 's/^tessaloom: first frame presented at \([0-9.]*\)$/\1/p' "$E2E_TMP/game.err")"
    [ -n "$shown" ] || fail "run $i: no first-frame report on stderr"
    first="$(awk -v a="$t0" -v b="$shown" 'BEGIN {printf "%.1f", (b - a) * 1000}')"
    whole="$(awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.1f", (b - a) * 1000}')"
    echo "$first" >>"$E2E_TMP/first.ms"
    echo "$whole" >>"$E2E_TMP/whole.ms"
    echo "run $i: first frame ${first} ms, whole run ${whole} ms"
done
echo "exec to first presented frame: median $(median "$E2E_TMP/first.ms") ms," \
    "min $(sort -n "$E2E_TMP/first.ms" | head -n1), max $(sort -n "$E2E_TMP/first.ms" | tail -n1) ms ($runs runs)"
echo "whole run (start-up, one frame, teardown): median $(median "$E2E_TMP/whole.ms") ms"
