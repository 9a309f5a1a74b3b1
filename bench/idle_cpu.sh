#!/usr/bin/env bash
# CPU use of the real game under Xvfb, with the generated assets and the
# silent dummy audio device: utime + stime of the game (all its threads)
# from /proc over SECONDS (default 10), as a share of one core. The X
# server's own share is printed beside it.
#   idle (default): the still title screen. Target: <= 1 %.
#   --play: a game started from the title, measured from the first fall with
#           Down held (the pairs drop and stack as fast as the game lets
#           them; the game-over screen may follow). Target: <= 2 %.
#
# Usage: bench/idle_cpu.sh [--play] [SECONDS] [PATH_OF_TESSALOOM]
# Without a path it builds build/bench (Release, game and assets) first.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=idle
if [ "${1:-}" = --play ]; then
    mode=play
    shift
fi
seconds="${1:-10}"
exe="${2:-}"
case "$seconds" in '' | *[!0-9]* | 0) echo "usage: $0 [--play] [SECONDS] [PATH_OF_TESSALOOM]" >&2; exit 2 ;; esac
. bench/lib.sh
bench_game "$exe"
start_game
wid="$(wait_for_window)"
if [ "$mode" = play ]; then
    focus "$wid"
    wait_for_title "$wid"
    tap z
    sleep 3  # the start banner glides over the well for about 2.5 s
    xdotool keydown Down
else
    sleep 1  # past start-up: only the title's frames from here on
fi

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
[ "$mode" = idle ] || xdotool keyup Down

kill -TERM "$E2E_GAME_PID"
wait_for_exit 2
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE after SIGTERM"
label="idle title"
[ "$mode" = idle ] || label="play, Down held"
awk -v g="$((g1 - g0))" -v x="$((x1 - x0))" -v hz="$hz" -v a="$t0" -v b="$t1" -v label="$label" 'BEGIN {
    s = b - a
    printf "%s over %.2f s: game %.2f %% of one core (%d ticks at %d Hz), Xvfb %.2f %%\n",
           label, s, g / hz / s * 100, g, hz, x / hz / s * 100
}'
# Where it goes: the ticks of each thread over the same time.
join "$E2E_TMP/threads0" "$E2E_TMP/threads1" |
    awk -v hz="$hz" -v a="$t0" -v b="$t1" '{printf "  thread %s %s: %.2f %%\n", $1, $2, ($5 - $3) / hz / (b - a) * 100}'
