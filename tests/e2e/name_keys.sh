#!/usr/bin/env bash
# The keys players try, through the real window: Enter starts a game from
# the title; Down held through the game's end until the name entry opens
# (pressed once more as the game-over banner slides) leaves the letters
# alone; typed letters set them and Backspace goes back; Z then stores
# "aaa"; Space opens the ranking and Esc leaves it.
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
. "$here/lib_ranking.sh"
e2e_init "${1:-}"
graphics="$(dirname "$E2E_EXE")/Graphics"
[ -f "$graphics/GameBG.bmp" ] || fail "no generated pictures beside the game in $(dirname "$E2E_EXE")"
rank="$E2E_TMP/Data/Rank.ds"

start_display
start_game
wid="$(wait_for_window)"
focus "$wid"
E2E_RANK_WID="$wid"
E2E_RANK_TITLE="$(pixel "$graphics/Title.bmp" 600 20)"
E2E_RANK_CURSOR="$(pixel "$graphics/ScoreCursol.bmp" 12 2)"
E2E_RANK_BORDER="$(pixel "$graphics/GameOver.bmp" 128 25)"
E2E_RANK_PLAYBG="$(pixel "$graphics/GameBG.bmp" 20 470)"
wait_for_colour "$wid" 600 20 "$E2E_RANK_TITLE" 20

# letter_at SHOT X: the pixels of the name letter drawn at (X, 250).
letter_at() { convert "$1" -crop "24x34+$2+250" -depth 8 txt:- | sed 1d | sed 's/^[0-9]*,[0-9]*: //' | md5sum; }

# One look at the game: Left is let go once the score shows points, Down
# stays held until the name entry shows its cursor (and is pressed once
# more on the way). A game without points
# goes back to the title with Enter and another one starts.
held_into_name_entry() {
    local shot="$E2E_TMP/shot.png" points=no
    screenshot "$wid" "$shot" || return 1
    [ "$(tens_digit "$shot")" = "$E2E_RANK_ZERO" ] || points=yes
    E2E_SEEN="game $E2E_RANK_GAMES, points: $points"
    if [ "$points" = yes ] && [ "$E2E_RANK_LEFT_HELD" = 1 ]; then
        xdotool keyup Left
        E2E_RANK_LEFT_HELD=0
    fi
    [ "$(pixel "$shot" 263 292)" = "$E2E_RANK_CURSOR" ] && return 0
    # As a player drumming on Down does: pressed afresh while the banner
    # slides (not yet at its stop, where the name entry may already read
    # keys), and held on into the name entry.
    if [ "$points" = yes ] && [ "$E2E_DOWN_AGAIN" = 0 ] && banner_high "$shot"; then
        xdotool keyup Down keydown Down
        E2E_DOWN_AGAIN=1
        note "Down pressed again as the banner slides"
    fi
    banner_seen "$shot" && [ "$(pixel "$shot" 320 105)" = "$E2E_RANK_BORDER" ] && [ "$points" = no ] || return 1
    note "game $E2E_RANK_GAMES ended with 0 points; again"
    [ "$E2E_RANK_GAMES" -lt 8 ] || fail "no points in $E2E_RANK_GAMES games"
    xdotool keyup Down keyup Left
    tap Return
    wait_for_colour "$wid" 600 20 "$E2E_RANK_TITLE" 20
    start_with_enter
    return 1
}

# banner_high SHOT: whether the game-over banner shows in the upper part of
# its slide (its top border above y 50: some thirty frames before its stop).
banner_high() { banner_seen "$1" 26; }

# A game started with Enter, played with Left and Down held.
start_with_enter() {
    E2E_RANK_GAMES=$((E2E_RANK_GAMES + 1))
    tap Return
    wait_for_colour "$wid" 20 470 "$E2E_RANK_PLAYBG" 20
    screenshot "$wid" "$E2E_TMP/zero.png" || fail "no screenshot of the play screen"
    E2E_RANK_ZERO="$(tens_digit "$E2E_TMP/zero.png")"
    xdotool keydown Left keydown Down
    E2E_RANK_LEFT_HELD=1
}

E2E_RANK_GAMES=0
E2E_DOWN_AGAIN=0
start_with_enter
note "Enter started a game"
wait_until 150 "name entry after a game with points" held_into_name_entry
xdotool keyup Down keyup Left
# letters_match X1 X2 [differ]: whether the letters at X1 and X2 show the
# same picture (or, with "differ", different ones).
letters_match() {
    screenshot "$wid" "$E2E_TMP/letters.png" || return 1
    local same=no
    [ "$(letter_at "$E2E_TMP/letters.png" "$1")" = "$(letter_at "$E2E_TMP/letters.png" "$2")" ] && same=yes
    E2E_SEEN="same: $same"
    [ "${3:-}" = differ ] && [ "$same" = no ] || { [ "${3:-}" != differ ] && [ "$same" = yes ]; }
}

# The Down held from the game did not scroll the first letter: with the
# cursor moved off it, it shows as the untouched third one.
tap Right
wait_until 10 "first letter as the third, A" letters_match 250 350
# A typed letter sets the second one and the cursor moves on; Backspace
# brings it back and a typed "a" restores A.
tap b
wait_until 10 "typed letter B in the second place" letters_match 300 250 differ
tap BackSpace
tap a
wait_until 10 "the second letter A again" letters_match 300 250

tap z
wait_for_colour "$wid" 600 20 "$E2E_RANK_TITLE" 20
[ -f "$rank" ] || fail "no rank file"
name="$(head -n1 "$rank" | tr -d '\r')"
[ "$name" = aaa ] || fail "place 1 is '$name', expected aaa: a held key or a typed one went astray"
note "name aaa stored after Down held into the entry, a typed b, Backspace and a typed a"

# Space opens the ranking (second entry), Esc leaves it.
tap Down
tap space
wait_for_colour "$wid" 20 20 "$(pixel "$graphics/RankBG.bmp" 20 20)" 20
tap Escape
wait_for_colour "$wid" 600 20 "$E2E_RANK_TITLE" 20
note "Space opened the ranking and Esc left it"

quit_with_q 2
note "ok"
