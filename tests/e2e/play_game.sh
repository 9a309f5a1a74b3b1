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
wait_for_title "$wid"

# shot NAME: a raw RGB screenshot, false when none could be taken;
# column_bottom NAME COLUMN: the lowest drawn row of that well column (-1:
# empty).
shot() { screenshot "$wid" "$E2E_TMP/$1.rgb"; }
column_bottom() { python3 "$here/screen.py" column-bottom "$E2E_TMP/$1.rgb" "$graphics/GameBG.bmp" "$2"; }

# pair_alone NAME COLUMN [Y]: takes shot NAME; whether the well shows
# something in that column only, reaching lower than Y (default 48, the
# well's top edge). Sets BOTTOM to how low it reaches.
BOTTOM=-1
pair_alone() {
    shot "$1" || return 1
    local bottoms
    read -r -a bottoms <<<"$(python3 "$here/screen.py" column-bottoms "$E2E_TMP/$1.rgb" "$graphics/GameBG.bmp")"
    E2E_SEEN="lowest drawn row of columns 0-7: ${bottoms[*]}"
    BOTTOM="${bottoms[$2]}"
    [ "$BOTTOM" -gt "${3:-48}" ] || return 1
    local c
    for c in 0 1 2 3 4 5 6 7; do
        [ "$c" = "$2" ] || [ "${bottoms[$c]}" -eq -1 ] || return 1
    done
}

tap z
# The start banner glides down over the whole well (73 steps, about 2.5 s);
# when it has gone the pair shows in the spawn column alone.
wait_until 30 "pair alone in the spawn column after the banner" pair_alone start 3
start3="$BOTTOM"

# Each arrow is held until the pair shows where it leads, however slowly
# the frames come: one move every other frame. That the pair shows in the
# new column alone is the check that it left the old one.
xdotool keydown Left
wait_until 20 "pair alone in column 0 with Left held" pair_alone left 0
xdotool keyup Left
left0="$BOTTOM"
note "pair moved from column 3 (bottom y $start3) to column 0 (bottom y $left0)"

# A half-row fall step each second at level 0.
wait_until 20 "fall of the pair in column 0 below y $left0" pair_alone fallen 0 "$left0"
fallen0="$BOTTOM"

xdotool keydown Right
wait_until 20 "pair alone in column 7 with Right held" pair_alone right 7
xdotool keyup Right
note "pair fell to bottom y $fallen0, then moved to column 7"

# Down held: each pair drops one half row a frame and they stack in the
# spawn column until its top cell stays taken. The banner then slides down
# to y 80; its top border is checked there.
xdotool keydown Down
wait_for_colour "$wid" 320 105 "$(pixel "$graphics/GameOver.bmp" 128 25)" 90
xdotool keyup Down
shot over || fail "no screenshot at game over"
[ "$(column_bottom over 3)" -gt 400 ] || fail "the spawn column is not filled at game over"
note "game over reached with Down held"

quit_with_q 2
note "ok"
