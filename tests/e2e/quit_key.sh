#!/usr/bin/env bash
# Holding Q ends the game from any screen: the process exits with code 0
# within 2 s, after tearing the game down.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
start_display
start_game
wid="$(wait_for_window)"
focus "$wid"
wait_for_title "$wid"
quit_with_q 2
note "Q held: exit code 0 within 2 s"
