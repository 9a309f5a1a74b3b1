#!/usr/bin/env bash
# The pause through the real window: during play P shows the PAUSED panel
# in place of the well and the coming pair, and the picture then stands
# still (two screenshots 2 s apart are identical); P again resumes and the
# pair falls on. Moving the focus to another window pauses by itself, and
# the game stays paused when the focus comes back, until P.
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_init "${1:-}"
graphics="$(dirname "$E2E_EXE")/Graphics"
[ -f "$graphics/Paused.bmp" ] || fail "no generated pictures beside the game in $(dirname "$E2E_EXE")"
command -v xmessage >/dev/null || fail "missing tool xmessage"

start_display
start_window_manager
start_game
wid="$(wait_for_window)"
focus "$wid"
wait_for_title "$wid"

shot() { screenshot "$wid" "$E2E_TMP/$1.rgb"; }

# pair_alone NAME [Y]: takes shot NAME; whether the well shows something
# in the spawn column only (the pair, the banner gone), reaching lower than
# Y (default 48, the well's top edge). Sets BOTTOM to how low it reaches.
BOTTOM=-1
pair_alone() {
    shot "$1" || return 1
    local bottoms c
    read -r -a bottoms <<<"$(python3 "$here/screen.py" column-bottoms "$E2E_TMP/$1.rgb" "$graphics/GameBG.bmp")"
    E2E_SEEN="lowest drawn row of columns 0-7: ${bottoms[*]}"
    BOTTOM="${bottoms[3]}"
    [ "$BOTTOM" -gt "${2:-48}" ] || return 1
    for c in 0 1 2 4 5 6 7; do [ "${bottoms[$c]}" -eq -1 ] || return 1; done
}

# paused_screen NAME: takes shot NAME; whether the well and the next-pair
# box show exactly the pause panel over the empty background.
paused_screen() {
    shot "$1" || return 1
    E2E_SEEN="$(python3 "$here/screen.py" paused "$E2E_TMP/$1.rgb" "$graphics") pixels of the well and the preview differ from the paused screen"
    [ "${E2E_SEEN%% *}" = 0 ]
}

# The pause panel's texture at a spot without words, on the screen.
panel_colour="$(pixel "$graphics/Paused.bmp" 16 100)"
panel_shown() { shows_colour "$wid" 208 260 "$panel_colour"; }
panel_gone() { ! shows_colour "$wid" 208 260 "$panel_colour"; }

tap z
# The start banner glides down over the whole well (about 2.5 s); then the
# pair shows in the spawn column alone.
wait_until 30 "pair alone in the spawn column after the banner" pair_alone start
start_bottom="$BOTTOM"

tap p
wait_until 10 "paused screen after P" paused_screen paused1
# The picture stands still: nothing moves behind the panel, nothing falls.
# Every screenshot over at least 2 s matches the first, however few a busy
# machine manages.
still_since="$(now_ms)"
while :; do
    shot paused2 || fail "no screenshot while paused"
    cmp -s "$E2E_TMP/paused1.rgb" "$E2E_TMP/paused2.rgb" ||
        fail "the paused screen changed within 2 s: $(python3 "$here/screen.py" diff "$E2E_TMP/paused1.rgb" "$E2E_TMP/paused2.rgb") pixels"
    [ $(( $(now_ms) - still_since )) -lt 2000 ] || break
done
note "P: the well and the preview hide behind the panel, and the picture stands still"

tap p
wait_until 10 "the panel gone after P again" panel_gone
wait_until 10 "pair alone in the spawn column after the resume" pair_alone resumed
# A half-row fall step each second at level 0: the game goes on.
resumed_bottom="$BOTTOM"
wait_until 20 "fall of the pair below y $resumed_bottom after the resume" pair_alone fallen "$resumed_bottom"
note "P again: the pair shows and falls on (bottom y $start_bottom, then $resumed_bottom, then $BOTTOM)"

# Another window takes the focus: the game pauses by itself.
xmessage -geometry +760+40 "elsewhere" >/dev/null 2>&1 &
other_pid=$!
other_window() {
    E2E_SEEN="$(xdotool search --onlyvisible --name '^xmessage$' 2>/dev/null | head -n1 || true)"
    [ -n "$E2E_SEEN" ]
}
wait_until 20 "the other window" other_window
other="$E2E_SEEN"
xdotool windowactivate --sync "$other" >/dev/null 2>&1 || focus "$other"
wait_until 10 "paused screen after the focus moved away" paused_screen focus_lost
note "focus on another window: paused"

# The focus back: still paused, until P.
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || focus "$wid"
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$wid" ]; }
wait_until 10 "the focus back on the game" focused
! poll_until 1 panel_gone || fail "the focus came back and the pause ended by itself"
paused_screen focus_back || fail "the focus came back and the screen changed: $E2E_SEEN"
tap p
wait_until 10 "the panel gone after P with the focus back" panel_gone
note "focus back: still paused; P resumes"

kill "$other_pid" 2>/dev/null || true
quit_with_q 2
note "ok"
