#!/usr/bin/env bash
# A setting changed in the options screen survives a restart: O on the
# title opens the options, Down Down Left turns the music volume down to
# 90 %, the settings file under XDG_CONFIG_HOME says so at once, and after
# Q and a new start the options screen shows the same value.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
graphics="$(dirname "$E2E_EXE")/Graphics"
[ -f "$graphics/Options.bmp" ] || fail "no generated pictures beside the game in $(dirname "$E2E_EXE")"
file="$XDG_CONFIG_HOME/tessaloom/settings.ini"
# A spot of the options screen that the title shows otherwise (inside the
# options panel, beside the values), and the music volume's value.
options_colour="$(pixel "$graphics/Options.bmp" 570 300)"
value_box="64x24+420+178"

# value_crop NAME: the music volume's value as raw RGB in NAME.rgb.
value_crop() {
    screenshot "$wid" "$E2E_TMP/$1.png" &&
        convert "$E2E_TMP/$1.png" -crop "$value_box" +repage -depth 8 "rgb:$E2E_TMP/$1.rgb"
}
# shows_value NAME: whether the value shown now is the one in NAME.rgb.
shows_value() {
    value_crop now || return 1
    cmp -s "$E2E_TMP/now.rgb" "$E2E_TMP/$1.rgb"
}
file_says() {
    E2E_SEEN="$(tr '\n' ' ' <"$file" 2>/dev/null || echo "no file")"
    grep -qx "$1" "$file" 2>/dev/null
}
open_options() {
    focus "$wid"
    wait_for_title "$wid"
    tap o
    wait_for_colour "$wid" 570 300 "$options_colour" 10
}

start_display
start_game
wid="$(wait_for_window)"
open_options
[ ! -e "$file" ] || fail "a settings file was written before any setting changed"
value_crop before
tap Down
tap Down
tap Left
wait_until 10 "music_volume = 90 in the settings file" file_says "music_volume = 90"
wait_until 10 "a new music volume on the screen" eval '! shows_value before'
# Two crops in a row alike: the value is drawn whole, not mid-change.
settled_value() { value_crop after && shows_value after; }
wait_until 10 "a settled value on the screen" settled_value
quit_with_q 3
written="$(stat -c %Y.%i "$file")"

start_game
wid="$(wait_for_window)"
open_options
wait_until 10 "the music volume of the first run on the screen" shows_value after
[ "$(stat -c %Y.%i "$file")" = "$written" ] || fail "the settings file was rewritten by a start without changes"
file_says "music_volume = 90" || fail "settings file changed: $E2E_SEEN"
quit_with_q 3
note "music volume 90 % chosen in the options, saved at once, shown again after a restart"
