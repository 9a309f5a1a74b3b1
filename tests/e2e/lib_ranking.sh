# shellcheck shell=bash
# Sourced after lib.sh by the tests that play the real game until a score
# enters the ranking (not run on its own).

# play_into_ranking WINDOW GRAPHICS_DIR RANK_FILE: from the title menu,
# plays until a game's score enters the ranking, keeps the name "aaa", and
# checks that RANK_FILE then holds it in place 1 with a score above 0
# (E2E_SCORE). GRAPHICS_DIR holds the pictures the game shows.
E2E_SCORE=""
play_into_ranking() {
    E2E_RANK_WID="$1"
    local graphics="$2" rank="$3"
    E2E_RANK_TITLE="$(pixel "$graphics/Title.bmp" 600 20)"
    E2E_RANK_CURSOR="$(pixel "$graphics/ScoreCursol.bmp" 12 2)"
    E2E_RANK_BORDER="$(pixel "$graphics/GameOver.bmp" 128 25)"   # the banner's top border
    E2E_RANK_PLAYBG="$(pixel "$graphics/GameBG.bmp" 20 470)"     # beside the well, left of NEXT
    wait_for_colour "$E2E_RANK_WID" 600 20 "$E2E_RANK_TITLE" 20

    E2E_RANK_GAMES=0
    start_one_game
    wait_until 150 "name entry after a game with points" name_entry_reached

    tap z   # keeps the name "aaa"
    wait_for_colour "$E2E_RANK_WID" 600 20 "$E2E_RANK_TITLE" 20
    [ -f "$rank" ] || fail "no rank file $rank"
    local name
    name="$(head -n1 "$rank" | tr -d '\r')"
    E2E_SCORE="$(sed -n 2p "$rank" | tr -d '\r')"
    [ "$name" = aaa ] || fail "place 1 is '$name', expected aaa"
    [[ "$E2E_SCORE" =~ ^[1-9][0-9]*$ ]] || fail "place 1 scored '$E2E_SCORE'"
}

# Plays until the name entry opens. A game that ends without a clear scores
# 0, which never enters the ranking: then Z goes back to the title and
# another game starts.
# With Left and Down held the pairs pile up from the left wall until the
# stack reaches the cell where pairs appear: some forty blocks, so a clear
# and a score above 0 are all but certain. Once the score shows points,
# Left is let go and the pairs drop straight onto the spawn column, which
# soon ends the game.
E2E_RANK_LEFT_HELD=0
E2E_RANK_ZERO=""
start_one_game() {
    E2E_RANK_GAMES=$((E2E_RANK_GAMES + 1))
    tap z
    # The play screen shows the score 0 from the banner's first step on.
    wait_for_colour "$E2E_RANK_WID" 20 470 "$E2E_RANK_PLAYBG" 20
    screenshot "$E2E_RANK_WID" "$E2E_TMP/zero.png" || fail "no screenshot of the play screen"
    E2E_RANK_ZERO="$(tens_digit "$E2E_TMP/zero.png")"
    xdotool keydown Left keydown Down
    E2E_RANK_LEFT_HELD=1
}

# tens_digit SHOT: the pixels of the score's tens digit, blank at 0 and
# drawn once a clear has scored (a clear scores at least 30). The game-over
# banner never covers it.
tens_digit() { convert "$1" -crop 30x34+570+85 -depth 8 txt:- | md5sum; }

# banner_seen SHOT [ROWS]: whether the game-over banner shows anywhere on
# its way down: its top border crosses the field at x 250 and at x 390 in
# one row, within ROWS rows from y 25 (81: the whole way).
banner_seen() {
    convert "$1" -crop "141x${2:-81}+250+25" -depth 8 txt:- 2>/dev/null | awk -v want="$E2E_RANK_BORDER" '
        /^[0-9]/ {
            split($1, xy, /[,:]/)
            if ((xy[1] == 0 || xy[1] == 140) && toupper($3) == want) hits[xy[2]]++
        }
        END { for (y in hits) if (hits[y] == 2) found = 1; exit !found }'
}

# name_entry_reached: one look at the game, acting on what it shows; true
# once the name entry shows its cursor.
name_entry_reached() {
    local shot="$E2E_TMP/shot.png" points=no
    screenshot "$E2E_RANK_WID" "$shot" || return 1
    [ "$(tens_digit "$shot")" = "$E2E_RANK_ZERO" ] || points=yes
    E2E_SEEN="game $E2E_RANK_GAMES, points: $points"
    if ! banner_seen "$shot"; then
        if [ "$points" = yes ] && [ "$E2E_RANK_LEFT_HELD" = 1 ]; then
            xdotool keyup Left
            E2E_RANK_LEFT_HELD=0
        fi
        return 1
    fi
    # Game over: let go before the name entry reads the keys.
    xdotool keyup Down keyup Left
    E2E_RANK_LEFT_HELD=0
    if [ "$(pixel "$shot" 263 292)" = "$E2E_RANK_CURSOR" ]; then
        note "name entry after game $E2E_RANK_GAMES"
        return 0
    fi
    # The banner has arrived without points: this game cannot enter the
    # ranking. A game with points waits for its name entry.
    [ "$(pixel "$shot" 320 105)" = "$E2E_RANK_BORDER" ] && [ "$points" = no ] || return 1
    note "game $E2E_RANK_GAMES ended with 0 points; again"
    [ "$E2E_RANK_GAMES" -lt 8 ] || fail "no points in $E2E_RANK_GAMES games"
    tap z
    wait_for_colour "$E2E_RANK_WID" 600 20 "$E2E_RANK_TITLE" 20
    start_one_game
    return 1
}
