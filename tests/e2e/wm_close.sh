#!/usr/bin/env bash
# The window manager's close request (the close button) ends the game like
# the quit key: exit code 0 within 2 s.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
start_display
start_window_manager
start_game
wid="$(wait_for_window)"
wait_for_title "$wid"
# The close request goes through the window manager, which must manage
# the window by then.
managed() { grep -q ' Tessaloom$' <<<"$(wmctrl -l 2>/dev/null)"; }
wait_until 20 "Tessaloom in the window manager's list" managed
wmctrl -c Tessaloom || fail "wmctrl found no window to close"
wait_for_exit 2
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE, expected 0"
note "close request: exit code 0 within 2 s"
