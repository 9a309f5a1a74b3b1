#!/usr/bin/env bash
# SIGTERM is a close request like any other: the game finishes its frame,
# tears down and exits with code 0 within 2 s.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
start_display
start_game
wid="$(wait_for_window)"
wait_for_title "$wid"
kill -TERM "$E2E_GAME_PID"
wait_for_exit 2
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE, expected 0"
note "SIGTERM: exit code 0 within 2 s"
