#!/usr/bin/env bash
# A window manager that loses the game's first request to show its window
# (as one can while it is still starting up) does not leave the game
# hidden for good: the game asks again, its window shows the title, takes
# the keys, and Q still quits with exit code 0.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
forgetful_wm="${2:-}"
[ -x "$forgetful_wm" ] || fail "usage: $0 PATH_OF_TESSALOOM PATH_OF_FORGETFUL_WM"

# wm_says TEXT: whether the window manager has printed a line with TEXT.
wm_says() {
    kill -0 "$E2E_WM_PID" 2>/dev/null || fail "the window manager ended: $(cat "$E2E_TMP/wm.out")"
    E2E_SEEN="$(tr '\n' ';' <"$E2E_TMP/wm.out")"
    grep -q "$1" "$E2E_TMP/wm.out"
}

start_display
"$forgetful_wm" >"$E2E_TMP/wm.out" 2>&1 &
E2E_WM_PID=$!
wait_until 20 "window manager on the display" wm_says '^ready$'
start_game
wid="$(wait_for_window)"
wm_says "dropped the first request to show" || fail "the window manager was never asked to show a window"
wm_says "^showed " || fail "the window shows without a second request"
wait_for_title "$wid"
focus "$wid"
quit_with_q 3
note "the first request to show the window lost: the game asked again, showed the title and quit on Q"
