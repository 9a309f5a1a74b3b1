#!/usr/bin/env bash
# Under a Latin layout the game's letter keys are the letters the keyboard
# prints: with the French layout the key printed Z starts a game and turns
# the pair, the key printed A (where Q sits on a US keyboard) does nothing
# and the key printed Q quits; with the German layout the key printed Z
# turns. The layout is switched while the game runs, as a player may. Keys
# are pressed by keycode, as a player's keyboard sends them, and the title's
# hint still names the options key O.
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_init "${1:-}"
command -v setxkbmap >/dev/null || fail "missing tool setxkbmap (x11-xkb-utils)"
command -v xmodmap >/dev/null || fail "missing tool xmodmap (x11-xserver-utils)"
graphics="$(dirname "$E2E_EXE")/Graphics"
[ -f "$graphics/GameBG.bmp" ] || fail "no generated pictures beside the game in $(dirname "$E2E_EXE")"

# printed LETTER: the keycode of the key whose cap prints that letter under
# the layout in force.
printed() {
    local code
    code="$(xmodmap -pke | awk -v l="$1" '$4 == l && !f { print $2; f = 1 }')"
    [ -n "$code" ] || fail "no key prints $1 in the keymap"
    echo "$code"
}

# pair_in COLUMNS...: takes a screenshot; whether the well shows something
# in exactly those columns (the falling pair, standing or lying).
pair_in() { pair_shows_in "$wid" "$graphics" "$@"; }

# hint_shown: whether the title's hint reads "O  OPTIONS" as the picture has it.
hint_shown() {
    screenshot "$wid" "$E2E_TMP/title.rgb" || return 1
    E2E_SEEN="$(python3 "$here/screen.py" title-hint "$E2E_TMP/title.rgb" "$graphics" O)"
    [ "${E2E_SEEN%% *}" = 0 ]
}

turned() { pair_in 3 4 || pair_in 2 3; }

# play LAYOUT Z: with the running game's keyboard switched to LAYOUT, starts
# a game from the title with the key of keycode Z and turns the pair with it.
# The display tells the game of the new keymap before any key that follows.
play() {
    wait_until 10 "title hint naming O under $1" hint_shown
    tap "$2"
    wait_until 30 "pair standing alone in the spawn column" pair_in 3
    tap "$2"
    wait_until 10 "pair lying across two columns after Z (keycode $2)" turned
}

# next_game: the game started again, on its title.
next_game() {
    start_game
    wid="$(wait_for_window)"
    focus "$wid"
    wait_for_title "$wid"
}

start_display
setxkbmap -layout us
next_game

setxkbmap -layout fr
a="$(printed a)"
tap "$a"
play fr "$(printed z)"
note "French layout: the key printed A (keycode $a) left the game running; the key printed Z started and turned"
quit_with_q 2 "$(printed q)"
note "French layout: the key printed Q (keycode $(printed q)) quit"

next_game
setxkbmap -layout de
play de "$(printed z)"
quit_with_q 2 "$(printed q)"
note "German layout: the key printed Z (keycode $(printed z)) started a game and turned the pair"

# Without Latin letters the keys keep their places (US Z: the first letter
# key of the bottom row, which prints a Cyrillic letter).
next_game
setxkbmap -layout ru
ya="$(xmodmap -pke | awk '$4 == "Cyrillic_ya" && !f { print $2; f = 1 }')"
[ -n "$ya" ] || fail "the Russian layout did not take effect"
play ru "$ya"
quit_with_q 2 "$(xmodmap -pke | awk '$4 == "Cyrillic_shorti" && !f { print $2; f = 1 }')"
note "Russian layout: the key at Z's place (keycode $ya) started a game and turned the pair; Q's place quit"
