#!/usr/bin/env bash
# CPU use of the real game idling on the title screen under Xvfb, with the
# generated assets and the silent dummy audio device: utime + stime of the
# game (all its threads) from /proc over SECONDS (default 10), as a share of
# one core. The X server's own share is printed beside it. Target: <= 3 %.
#
# Usage: bench/idle_cpu.sh [SECONDS] [PATH_OF_TESSALOOM]
# Without a path it builds build/bench (Release, game and assets) first.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-10}"
exe="${2:-}"
case "$seconds" in '' | *[!0-9]* | 0) echo "usage: $0 [SECONDS] [PATH_OF_TESSALOOM]" >&2; exit 2 ;; esac
. bench/lib.sh
bench_game "$exe"
start_game
wait_for_window >/dev/null
sleep 1  # past start-up: only the title's frames from here on

# ticks PID: utime + stime of the process, in clock ticks. The command name
# may hold spaces, so the fields are counted after its closing parenthesis.
ticks() {
    sed 's/^.*) //' "/proc/$1/stat" | awk '{print $12 + $13}'
}
# thread_ticks PID: one line per thread: id, name, ticks.
thread_ticks() {
    local t
    for t in /proc/"$1"/task/*; do
        printf '%s %s %s\n' "${t##*/}" "$(tr ' ' _ <"$t/comm")" \
            "$(sed 's/^.*) //' "$t/stat" | awk '{print $12 + $13}')"
    done
}
hz="$(getconf CLK_TCK)"
thread_ticks "$E2E_GAME_PID" >"$E2E_TMP/threads0"
g0="$(ticks "$E2E_GAME_PID")"
x0="$(ticks "$E2E_XVFB_PID")"
t0=$EPOCHREALTIME
sleep "$seconds"
g1="$(ticks "$E2E_GAME_PID")"
x1="$(ticks "$E2E_XVFB_PID")"
t1=$EPOCHREALTIME
thread_ticks "$E2E_GAME_PID" >"$E2E_TMP/threads1"

kill -TERM "$E2E_GAME_PID"
wait_for_exit 2
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE after SIGTERM"
awk -v g="$((g1 - g0))" -v x="$((x1 - x0))" -v hz="$hz" -v a="$t0" -v b="$t1" 'BEGIN {
    s = b - a
    printf "idle title over %.2f s: game %.2f %% of one core (%d ticks at %d Hz), Xvfb %.2f %%\n",
           s, g / hz / s * 100, g, hz, x / hz / s * 100
}'
# Where it goes: the ticks of each thread over the same time.
join "$E2E_TMP/threads0" "$E2E_TMP/threads1" |
    awk -v hz="$hz" -v a="$t0" -v b="$t1" '{printf "  thread %s %s: %.2f %%\n", $1, $2, ($5 - $3) / hz / (b - a) * 100}'
