#!/usr/bin/env bash
# A game played with a gamepad: a virtual controller, plugged in through the
# game's test hook (TESSALOOM_TEST_GAMEPAD), starts a game with A, moves the
# pair with the D-pad and the left stick, is pulled out and plugged in again
# and still moves it, and Back ends the game with exit code 0. A FIFO named
# instead of a file is refused at once, with one line, as the game's own
# files are.
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_init "${1:-}"
graphics="$(dirname "$E2E_EXE")/Graphics"
[ -f "$graphics/GameBG.bmp" ] || fail "no generated pictures beside the game in $(dirname "$E2E_EXE")"

pad="$E2E_TMP/pad"
: >"$pad"
export TESSALOOM_TEST_GAMEPAD="$pad"
# pad LINE...: commands for the virtual controller, read by the game's main
# thread when it next wakes.
pad() { printf '%s\n' "$@" >>"$pad"; }
# press BUTTON: a press long enough for a frame to see it.
press() {
    pad "$1 down"
    sleep "$E2E_PRESS_HOLD"  # spaces the input, as tap does for keys
    pad "$1 up"
}

start_display

# A FIFO that nobody writes to: never waited on or read.
mkfifo "$E2E_TMP/pad.fifo"
TESSALOOM_TEST_GAMEPAD="$E2E_TMP/pad.fifo" start_game
wid="$(wait_for_window)"
focus "$wid"
wait_for_title "$wid"
quit_with_q 3
grep -qx 'tessaloom: TESSALOOM_TEST_GAMEPAD ignored: not a regular file' "$E2E_TMP/game.err" ||
    fail "the FIFO was not refused by name"
note "a FIFO as the command file: refused, the game started and Q quit"

start_game
wid="$(wait_for_window)"
# Controllers are read only while the window has the keyboard focus.
focus "$wid"
wait_for_title "$wid"

BOTTOM=-1
# pair_alone NAME COLUMN: takes a screenshot; whether the well shows
# something in that column only.
pair_alone() {
    screenshot "$wid" "$E2E_TMP/$1.rgb" || return 1
    local bottoms c
    read -r -a bottoms <<<"$(python3 "$here/screen.py" column-bottoms "$E2E_TMP/$1.rgb" "$graphics/GameBG.bmp")"
    E2E_SEEN="lowest drawn row of columns 0-7: ${bottoms[*]}"
    BOTTOM="${bottoms[$2]}"
    [ "$BOTTOM" -gt 48 ] || return 1
    for c in 0 1 2 3 4 5 6 7; do
        [ "$c" = "$2" ] || [ "${bottoms[$c]}" -eq -1 ] || return 1
    done
}

# Plugged in while the game runs; A at once after: the hook holds the press
# until the game has opened the controller.
pad attach
press a
wait_until 30 "pair alone in the spawn column after A and the banner" pair_alone start 3

pad "dpleft down"
wait_until 20 "pair alone in column 0 with the D-pad held left" pair_alone left 0
pad "dpleft up"

pad "leftx 32767"
wait_until 20 "pair alone in column 7 with the stick pushed right" pair_alone right 7
pad "leftx 0"
note "A started the game; the D-pad moved the pair to column 0, the stick to column 7"

# Pulled out and plugged in again: a new controller to the game.
pad detach attach "dpleft down"
wait_until 20 "pair alone in column 0 after plugging in again" pair_alone replugged 0
pad "dpleft up"
note "after plugging in again the D-pad moved the pair back to column 0"

pad "back down"
wait_for_exit 5
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE after Back, expected 0"
note "Back quit the game"
