#!/usr/bin/env bash
# A message box in a real run: the self-test hook shows one before the first
# frame. The box appears as its own window, the game keeps running while it
# is open (and draws nothing yet: the frame thread waits for the box), Return
# dismisses it, the title then appears, keys work, and Q exits with code 0.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
title="#00FFFF"
ranking="#FF00FF"
game="$(copy_game)"
write_bmp "$E2E_TMP/game/Graphics/Title.bmp" "$title"
write_bmp "$E2E_TMP/game/Graphics/RankBG.bmp" "$ranking"

# box_window: the id of the window captioned self-test, empty when none.
# The box is not found by xdotool search --name; the window tree lists it.
box_window() {
    xwininfo -root -tree 2>/dev/null | awk '/"self-test"/ {print $1; exit}'
}

start_display
export TESSALOOM_SELFTEST_MESSAGE_BOX="Self-test: press OK to go on."
start_game "$game"
unset TESSALOOM_SELFTEST_MESSAGE_BOX
wid="$(wait_for_window)"

# box_shown: whether the box is mapped; sets box.
box=""
box_shown() { box="$(box_window)"; [ -n "$box" ]; }
box_gone() { [ -z "$(box_window)" ]; }

wait_until 20 "window captioned self-test" box_shown
grep -q '^message box \[' "$E2E_TMP/game.err" && fail "the box fell back to stderr"

# While it is open the game runs on and has not drawn its first frame: a
# few screenshots of the game's window, each a later look, never show the
# title. (Looks, not a time span: a busy machine only makes them later.)
for look in 1 2 3 4 5; do
    if game_gone; then fail "the game ended with the box open"; fi
    [ -n "$(box_window)" ] || fail "the box closed by itself"
    if screenshot "$wid" "$E2E_TMP/before.png"; then
        [ "$(pixel "$E2E_TMP/before.png" 600 20)" != "$title" ] ||
            fail "the title was drawn while the box held the frame thread (look $look)"
    fi
done

# Dismiss it with Return, as a player would with the keyboard; the box may
# not have the keyboard yet at the first try.
for _ in 1 2 3; do
    focus "$box"
    xdotool key Return
    poll_until 5 box_gone && break
done
box_gone || fail "Return did not close the box"

# The game goes on: the title appears and keys reach it.
focus "$wid"
wait_for_colour "$wid" 600 20 "$title" 20
tap Down
tap z
wait_for_colour "$wid" 600 20 "$ranking" 10

quit_with_q 2
note "box shown, game alive with it open, dismissed with Return, title and keys after, Q exits 0"
