#!/usr/bin/env bash
# A hang-up (the terminal that started the game closed) ends the game like
# SIGTERM: a clean shutdown and exit code 0 within 2 s, not death by signal.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
start_display
start_game
wait_for_window >/dev/null
kill -HUP "$E2E_GAME_PID"
wait_for_exit 2
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE, expected 0"
[ ! -s "$E2E_TMP/game.err" ] || fail "unexpected output on stderr"
note "SIGHUP: exit code 0 within 2 s"
