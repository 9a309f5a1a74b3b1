#!/usr/bin/env bash
# The display going away under a running game (the X server killed) ends
# the game with one line on stderr and exit code 1: no crash, and in a
# sanitizer build no report. (Xlib's own handler called exit(), whose static
# destructors ran while the frame thread still handed over frames.) Some
# rounds, since the crash depended on timing.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
rounds="${LOST_DISPLAY_ROUNDS:-3}"
expected="tessaloom: lost the connection to the display"

for round in $(seq 1 "$rounds"); do
    start_display
    start_game
    wid="$(wait_for_window)"
    # The frame thread is presenting once the title is on the screen.
    wait_for_colour "$wid" 320 100 "$(pixel "$(dirname "$E2E_EXE")/Graphics/Title.bmp" 320 100)" 10
    kill -KILL "$E2E_XVFB_PID"
    wait "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_XVFB_PID=""
    wait_for_exit 5
    [ "$E2E_EXIT_CODE" -eq 1 ] || fail "round $round: exit code $E2E_EXIT_CODE, expected 1"
    ! grep -q Sanitizer "$E2E_TMP/game.err" || fail "round $round: a sanitizer report"
    [ "$(cat "$E2E_TMP/game.err")" = "$expected" ] ||
        fail "round $round: stderr is not the one line \"$expected\""
done
note "display killed $rounds times: exit code 1 and one line on stderr each time"
