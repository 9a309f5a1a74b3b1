#!/usr/bin/env bash
# The window shows what the game composed, the right way up and in the
# right colours: the title picture is replaced by a test card whose four
# quadrants and corner marker tell a flip, a mirror or swapped red and blue
# apart, and a screenshot of the window must match it.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
game="$(copy_game)"
write_bmp "$E2E_TMP/game/Graphics/Title.bmp" card

start_display
start_game "$game"
wid="$(wait_for_window)"

# x y expected-colour, in screen coordinates of the client area.
probes=(
    "100 100 #FF0000"   # top left: red
    "540 100 #00FF00"   # top right: green
    "100 380 #0000FF"   # bottom left: blue
    "540 380 #FFFF00"   # bottom right: yellow
    "30 30 #FFFFFF"     # marker, top-left corner
    "610 30 #00FF00"    # no marker in the top-right corner (mirror)
    "30 450 #0000FF"    # no marker in the bottom-left corner (flip)
    "0 0 #FF0000"       # the first pixel ...
    "639 479 #FFFF00"   # ... and the last: shown 1:1, no border
)

# shows_card: whether a screenshot matches every probe; sets E2E_SEEN to
# the mismatches.
shows_card() {
    screenshot "$wid" "$E2E_TMP/shot.png" || return 1
    local p x y want got
    E2E_SEEN=""
    for p in "${probes[@]}"; do
        read -r x y want <<<"$p"
        got="$(pixel "$E2E_TMP/shot.png" "$x" "$y")"
        [ "$got" = "$want" ] || E2E_SEEN="$E2E_SEEN ($x,$y)=$got want $want;"
    done
    [ -z "$E2E_SEEN" ]
}
wait_until 20 "test card in the window" shows_card
size="$(identify -format '%wx%h' "$E2E_TMP/shot.png")"
[ "$size" = "640x480" ] || fail "screenshot is $size, expected 640x480"
note "window shows the test card upright, unmirrored, colours right"
