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
wait_for_colour "$wid" 600 20 "$title" 20

# The input itself: Down held for a second, which the display repeats
# about every 40 ms after its first 0.66 s. Whatever the game made of it
# shows in what Z then opens.
xdotool keydown Down
sleep 1  # spaces the input: the length of the hold is the test's input
xdotool keyup Down
tap z
wait_for_colour "$wid" 600 20 "$ranking" 10
kill -0 "$E2E_GAME_PID" 2>/dev/null || fail "the game ended: the cursor went past the ranking entry"

# Z on the ranking view leads back to the title.
tap z
wait_for_colour "$wid" 600 20 "$title" 10

quit_with_q 2
note "Down held moves the cursor once; Z opens the ranking and returns; Q quits"
