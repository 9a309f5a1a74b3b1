#!/usr/bin/env bash
# The window manager's close request always ends the game cleanly: exit
# code 0 and nothing on stderr, CLOSE_ROUNDS times in a row (default 40;
# tools/window_stress.sh runs 200), each with a capture of the whole screen
# as the window goes. A capture holds the X server to itself for
# a moment; a wake-up sent to the window just before then could reach the
# server only after the window was gone ("BadWindow ... X_SendEvent", exit
# code 1).
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
rounds="${CLOSE_ROUNDS:-40}"
start_display
start_window_manager
started=$(date +%s%N)
# window_gone WINDOW: whether the window has left the screen.
window_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable"; }

for round in $(seq 1 "$rounds"); do
    start_game
    wid="$(wait_for_window)"
    # The window may show a moment before the window manager lists it.
    wait_until 5 "round $round: the window manager closing the window" wmctrl -c Tessaloom
    # A capture of the whole screen while the game takes its window down.
    ( poll_until 5 window_gone "$wid"; screenshot root "$E2E_TMP/screen.png" || true ) &
    capture=$!
    wait_for_exit 5
    wait "$capture"
    [ "$E2E_EXIT_CODE" -eq 0 ] || fail "round $round: exit code $E2E_EXIT_CODE, expected 0"
    [ ! -s "$E2E_TMP/game.err" ] || fail "round $round: output on stderr"
done
elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
note "$rounds closes with a screen capture: all exit code 0, stderr empty ($elapsed ms, $(( elapsed / rounds )) ms each)"
