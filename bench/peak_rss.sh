#!/usr/bin/env bash
# Peak memory (VmHWM, the resident set's high-water mark) of the real game
# under Xvfb, with the generated assets and the silent dummy audio device:
# once after the title has shown for a while (title music playing), and
# once after a game started with Z and played with Down held until the
# game-over music starts, so all three tracks have played. Target: <= 20 MB
# (decimal) at both points.
#
# Usage: bench/peak_rss.sh [PATH_OF_TESSALOOM]
# Without a path it builds build/bench (Release, game and assets) first.
set -euo pipefail
cd "$(dirname "$0")/.."
. bench/lib.sh
bench_game "${1:-}"
export TESSALOOM_AUDIO_TRACE=1
start_game
unset TESSALOOM_AUDIO_TRACE
wid="$(wait_for_window)"
focus "$wid"
wait_for_title "$wid"

# hwm: the high-water mark in kB.
hwm() { awk '/^VmHWM:/ {print $2}' "/proc/$E2E_GAME_PID/status"; }
# played TRACK: whether the audio trace shows a play of that track.
played() {
    E2E_SEEN="$(grep '^audio: play [A-Za-z]*\.wav$' "$E2E_TMP/game.err" | tail -n 1 || true)"
    grep -qx "audio: play $1" "$E2E_TMP/game.err"
}

wait_until 20 "title music playing" played Title.wav
sleep 2  # a few dozen title frames
title="$(hwm)"
tap z
wait_until 20 "play music playing" played Play.wav
sleep 3  # the start banner glides over the well for about 2.5 s
xdotool keydown Down
wait_until 120 "game-over music playing (Down held)" played Over.wav
xdotool keyup Down
sleep 1  # a few game-over frames
whole="$(hwm)"
kill -TERM "$E2E_GAME_PID"
wait_for_exit 2
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE after SIGTERM"
mb() { awk -v k="$1" 'BEGIN {printf "%.1f MB (%d kB)", k * 1024 / 1e6, k}'; }
echo "peak RSS on the title: $(mb "$title")"
echo "peak RSS after title, play and game over (all three tracks played): $(mb "$whole")"
