#!/usr/bin/env bash
# Keys chosen on the options' KEYS page survive a restart: with real key
# presses the turn key becomes K and the options key F4 (chosen with K, the
# new decide key, at once), the settings file says so, and after Q and a
# new start K starts a game and turns the pair, and the title's hint names
# F4.
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_init "${1:-}"
graphics="$(dirname "$E2E_EXE")/Graphics"
[ -f "$graphics/KeysPage.bmp" ] || fail "no generated pictures beside the game in $(dirname "$E2E_EXE")"
file="$XDG_CONFIG_HOME/tessaloom/settings.ini"
# Spots that only the options screen and only the KEYS page show.
options_colour="$(pixel "$graphics/Options.bmp" 570 300)"
keys_colour="$(pixel "$graphics/KeysPage.bmp" 320 30)"

file_says() {
    E2E_SEEN="$(tr '\n' ' ' <"$file" 2>/dev/null || echo "no file")"
    grep -qx "$1" "$file" 2>/dev/null
}
taps() {
    local k
    for k in $(seq "$2"); do tap "$1"; done
}
pair_in() { pair_shows_in "$wid" "$graphics" "$@"; }
turned() { pair_in 3 4 || pair_in 2 3; }
hint_names() {
    screenshot "$wid" "$E2E_TMP/title.rgb" || return 1
    E2E_SEEN="$(python3 "$here/screen.py" title-hint "$E2E_TMP/title.rgb" "$graphics" "$1")"
    [ "${E2E_SEEN%% *}" = 0 ]
}

start_display
start_game
wid="$(wait_for_window)"
focus "$wid"
wait_for_title "$wid"
tap o
wait_for_colour "$wid" 570 300 "$options_colour" 10
taps Down 7
tap z
wait_for_colour "$wid" 320 30 "$keys_colour" 10
# The fifth row is the turn key's.
taps Down 4
tap z
tap k
wait_until 10 "the settings file naming K as the turn key" file_says "key_turn = K"
# Down to the options key's row; K decides now, Z no longer does.
taps Down 5
tap k
tap F4
wait_until 10 "the settings file naming F4 as the options key" file_says "key_options = F4"
tap Escape
wait_for_colour "$wid" 570 300 "$options_colour" 10
tap Escape
wait_for_title "$wid"
quit_with_q 2
note "the KEYS page took K for turning and F4 for the options; the file says so"

start_game
wid="$(wait_for_window)"
focus "$wid"
wait_for_title "$wid"
wait_until 10 "the title's hint naming F4" hint_names F4
tap k
wait_until 30 "pair standing alone in the spawn column after K" pair_in 3
tap k
wait_until 10 "pair lying across two columns after K" turned
quit_with_q 2
note "after a restart K started a game and turned the pair, and the hint named F4"
