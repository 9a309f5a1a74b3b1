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

mismatch=""
for attempt in $(seq 1 20); do
    sleep 0.25
    screenshot "$wid" "$E2E_TMP/shot.png" || continue
    mismatch=""
    for p in "${probes[@]}"; do
        read -r x y want <<<"$p"
        got="$(pixel "$E2E_TMP/shot.png" "$x" "$y")"
        [ "$got" = "$want" ] || mismatch="$mismatch ($x,$y)=$got want $want;"
    done
    [ -z "$mismatch" ] && break
done
[ -z "$mismatch" ] || fail "screenshot differs from the test card:$mismatch"
size="$(identify -format '%wx%h' "$E2E_TMP/shot.png")"
[ "$size" = "640x480" ] || fail "screenshot is $size, expected 640x480"
note "window shows the test card upright, unmirrored, colours right"
