#!/usr/bin/env bash
# The game's keys are places on the keyboard: under a Russian layout, where
# the Z and Q keys type Cyrillic letters, Z still starts a game from the
# title and Q still quits. The keys are pressed by keycode, as a player's
# keyboard sends them.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
command -v setxkbmap >/dev/null || fail "missing tool setxkbmap (x11-xkb-utils)"
command -v xkbcomp >/dev/null || fail "missing tool xkbcomp (x11-xkb-utils)"
title="#00FFFF"
playing="#FFFF00"
game="$(copy_game)"
write_bmp "$E2E_TMP/game/Graphics/Title.bmp" "$title"
write_bmp "$E2E_TMP/game/Graphics/GameBG.bmp" "$playing"

# physical_key NAME: the keycode of the key at that place (XKB's name:
# AB01 is the first letter key of the bottom row, AD01 of the top row).
physical_key() {
    local code
    code="$(xkbcomp -xkb "$DISPLAY" - 2>/dev/null | sed -n "s/^ *<$1> *= *\([0-9]*\);.*/\1/p" | head -n1)"
    [ -n "$code" ] || fail "no key <$1> in the keymap"
    echo "$code"
}

start_display
setxkbmap -layout ru
keymap="$(xkbcomp -xkb "$DISPLAY" - 2>/dev/null)"
grep -q 'Cyrillic_ya' <<<"$keymap" || fail "the Russian layout did not take effect"
z="$(physical_key AB01)"
q="$(physical_key AD01)"

start_game "$game"
wid="$(wait_for_window)"
focus "$wid"
wait_for_colour "$wid" 600 20 "$title" 10
tap "$z"
# The game's background shows once the start banner has passed.
wait_for_colour "$wid" 20 470 "$playing" 10
quit_with_q 2 "$q"
note "Russian layout: the Z key (keycode $z) started a game, the Q key (keycode $q) quit"
