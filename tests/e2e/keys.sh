#!/usr/bin/env bash
# Keys reach the game through the window, and a held key's auto-repeat is
# not a new press: on the title, Down held for a second moves the menu
# cursor one entry (game start -> ranking), not two (-> quit), so the Z that
# follows opens the ranking view instead of ending the game.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
title="#00FFFF"
ranking="#FF00FF"
game="$(copy_game)"
write_bmp "$E2E_TMP/game/Graphics/Title.bmp" "$title"
write_bmp "$E2E_TMP/game/Graphics/RankBG.bmp" "$ranking"

start_display
start_game "$game"
wid="$(wait_for_window)"
focus "$wid"
wait_for_colour "$wid" 600 20 "$title" 10

xdotool keydown Down
sleep 1   # the display repeats the key about every 40 ms meanwhile
xdotool keyup Down
tap z
wait_for_colour "$wid" 600 20 "$ranking" 3
kill -0 "$E2E_GAME_PID" 2>/dev/null || fail "the game ended: the cursor went past the ranking entry"

# Z on the ranking view leads back to the title.
tap z
wait_for_colour "$wid" 600 20 "$title" 3

quit_with_q 2
note "Down held moves the cursor once; Z opens the ranking and returns; Q quits"
