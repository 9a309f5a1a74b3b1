#!/usr/bin/env bash
# A game through the real window: Z on the title starts it; after the
# banner the pair falls and moves with the arrow keys (screenshots before
# and after show it); holding Down stacks pairs until the game-over banner
# arrives; Q then ends the game with exit code 0.
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_init "${1:-}"
graphics="$(dirname "$E2E_EXE")/Graphics"
[ -f "$graphics/GameBG.bmp" ] || fail "no generated pictures beside the game in $(dirname "$E2E_EXE")"

start_display
start_game
wid="$(wait_for_window)"
focus "$wid"
wait_for_colour "$wid" 320 100 "$(pixel "$graphics/Title.bmp" 320 100)" 10

# shot NAME: a raw RGB screenshot; column_bottom NAME COLUMN: the lowest
# drawn row of that well column (-1: empty).
shot() {
    screenshot "$wid" "$E2E_TMP/$1.png" || fail "no screenshot $1"
    convert "$E2E_TMP/$1.png" -depth 8 "rgb:$E2E_TMP/$1.rgb"
}
column_bottom() { python3 "$here/screen.py" column-bottom "$E2E_TMP/$1.rgb" "$graphics/GameBG.bmp" "$2"; }

tap z
# The game background shows once the start banner has passed the NEXT box.
wait_for_colour "$wid" 20 470 "$(pixel "$graphics/GameBG.bmp" 20 470)" 10
sleep 3  # the banner's 73 steps take about 2.5 s

shot start
start3="$(column_bottom start 3)"
[ "$start3" -gt 48 ] || fail "no pair in the spawn column after the banner"
[ "$(column_bottom start 0)" -eq -1 ] || fail "column 0 is not empty at the start"

xdotool keydown Left
sleep 0.8  # three moves, one every other frame
xdotool keyup Left
shot left
left0="$(column_bottom left 0)"
[ "$left0" -gt 48 ] || fail "the pair did not reach column 0 with Left held"
[ "$(column_bottom left 3)" -eq -1 ] || fail "column 3 still shows the pair after moving left"
note "pair moved from column 3 (bottom y $start3) to column 0 (bottom y $left0)"

sleep 2.2  # two or three half-row fall steps at level 0
shot fallen
fallen0="$(column_bottom fallen 0)"
[ "$fallen0" -gt "$left0" ] || fail "the pair did not fall: bottom y $left0, then $fallen0"

xdotool keydown Right
sleep 1.0  # seven moves
xdotool keyup Right
shot right
[ "$(column_bottom right 7)" -gt 48 ] || fail "the pair did not reach column 7 with Right held"
[ "$(column_bottom right 0)" -eq -1 ] || fail "column 0 still shows the pair after moving right"
note "pair fell to bottom y $fallen0, then moved to column 7"

# Down held: each pair drops one half row a frame and they stack in the
# spawn column until its top cell stays taken. The banner then slides down
# to y 80; its top border is checked there.
xdotool keydown Down
wait_for_colour "$wid" 320 105 "$(pixel "$graphics/GameOver.bmp" 128 25)" 90
xdotool keyup Down
shot over
[ "$(column_bottom over 3)" -gt 400 ] || fail "the spawn column is not filled at game over"
note "game over reached with Down held"

quit_with_q 2
note "ok"
