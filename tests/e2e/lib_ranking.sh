# shellcheck shell=bash
# Sourced after lib.sh by the tests that play the real game until a score
# enters the ranking (not run on its own).

# play_into_ranking WINDOW GRAPHICS_DIR RANK_FILE: from the title menu,
# plays until a game's score enters the ranking, keeps the name "aaa", and
# checks that RANK_FILE then holds it in place 1 with a score above 0
# (E2E_SCORE). GRAPHICS_DIR holds the pictures the game shows.
E2E_SCORE=""
play_into_ranking() {
    local wid="$1" graphics="$2" rank="$3"
    E2E_RANK_TITLE="$(pixel "$graphics/Title.bmp" 600 20)"
    E2E_RANK_CURSOR="$(pixel "$graphics/ScoreCursol.bmp" 12 2)"
    E2E_RANK_BORDER="$(pixel "$graphics/GameOver.bmp" 128 25)"   # the banner's top border
    wait_for_colour "$wid" 600 20 "$E2E_RANK_TITLE" 10
    play_until_name_entry "$wid"

    tap z   # keeps the name "aaa"
    wait_for_colour "$wid" 600 20 "$E2E_RANK_TITLE" 5
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
# and a score above 0 are all but certain. Clears make room again, so after
# 20 s Left is let go and the pairs drop straight onto the spawn column.
E2E_GAME_STARTED=0
start_one_game() {
    tap z          # the start banner takes about 2.5 s
    sleep 2.6
    xdotool keydown Left keydown Down
    E2E_GAME_STARTED=$(date +%s)
}

# banner_seen SHOT: whether the game-over banner shows anywhere on its way
# down: its top border crosses the field at x 250 and at x 390 in one row.
banner_seen() {
    convert "$1" -crop 141x81+250+25 -depth 8 txt:- 2>/dev/null | awk -v want="$E2E_RANK_BORDER" '
        /^[0-9]/ {
            split($1, xy, /[,:]/)
            if ((xy[1] == 0 || xy[1] == 140) && toupper($3) == want) hits[xy[2]]++
        }
        END { for (y in hits) if (hits[y] == 2) found = 1; exit !found }'
}

# play_until_name_entry WINDOW
play_until_name_entry() {
    local wid="$1" deadline=$(( $(date +%s) + 100 )) games=1 over=0
    start_one_game
    while [ "$(date +%s)" -lt "$deadline" ]; do
        sleep 0.2
        screenshot "$wid" "$E2E_TMP/shot.png" || continue
        if ! banner_seen "$E2E_TMP/shot.png"; then
            over=0
            [ $(( $(date +%s) - E2E_GAME_STARTED )) -lt 20 ] || xdotool keyup Left
            continue
        fi
        # Game over: let go before the name entry reads the keys.
        xdotool keyup Down keyup Left
        if [ "$(pixel "$E2E_TMP/shot.png" 263 292)" = "$E2E_RANK_CURSOR" ]; then
            note "name entry after game $games ($(( $(date +%s) - E2E_GAME_STARTED )) s)"
            return 0
        fi
        [ "$(pixel "$E2E_TMP/shot.png" 320 105)" = "$E2E_RANK_BORDER" ] || continue
        # The banner has arrived; without the name entry the game scored 0.
        over=$((over + 1))
        if [ "$over" -ge 3 ]; then
            note "game $games ended with 0 points; again"
            [ "$games" -lt 8 ] || break
            tap z
            wait_for_colour "$wid" 600 20 "$E2E_RANK_TITLE" 5
            games=$((games + 1))
            over=0
            start_one_game
        fi
    done
    fail "no name entry after $games games"
}
