#!/usr/bin/env bash
# Two copies of the game on one display keep each other's settings: the
# first presses M, the second turns the music down in its options screen
# (Down Down Left), both quit with Q; the settings file then holds both
# changes, and the player's own lines (a byte-order mark, a comment, a
# later version's key) are still there.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
graphics="$(dirname "$E2E_EXE")/Graphics"
[ -f "$graphics/Options.bmp" ] || fail "no generated pictures beside the game in $(dirname "$E2E_EXE")"
file="$XDG_CONFIG_HOME/tessaloom/settings.ini"
mkdir -p "$(dirname "$file")"
# Both windows at 1x, side by side (AUTO would take 1.5x here).
printf '\357\273\277# my own note\nfuture_setting = 7\nwindow_scale = 1\n' >"$file"
options_colour="$(pixel "$graphics/Options.bmp" 570 300)"

second_pid=""
trap '[ -z "$second_pid" ] || kill -KILL "$second_pid" 2>/dev/null || true; e2e_cleanup' EXIT

file_says() {
    E2E_SEEN="$(tr '\n' ' ' <"$file" 2>/dev/null || echo "no file")"
    grep -qx "$1" "$file" 2>/dev/null
}
# second_window_shown: whether a visible game window other than the first
# one is there; sets E2E_WINDOW.
second_window_shown() {
    E2E_WINDOW="$(xdotool search --onlyvisible --name '^Tessaloom$' 2>/dev/null | grep -vx "$first" | head -n1 || true)"
    [ -n "$E2E_WINDOW" ]
}

# Side by side: a screenshot of a window shows only what is not covered.
export E2E_SCREEN=1920x1080
start_display
start_game
first="$(wait_for_window)"
(cd "$E2E_TMP" && exec "$E2E_EXE") >"$E2E_TMP/second.out" 2>"$E2E_TMP/second.err" &
second_pid=$!
wait_until 20 "a second game window" second_window_shown
second="$E2E_WINDOW"
xdotool windowmove "$second" 960 100

# The first copy mutes.
focus "$first"
wait_for_title "$first"
tap m
wait_until 10 "mute = on in the settings file" file_says "mute = on"

# The second copy, which still plays with sound, turns the music down.
focus "$second"
wait_for_title "$second"
tap o
wait_for_colour "$second" 570 300 "$options_colour" 10
tap Down
tap Down
tap Left
wait_until 10 "music_volume = 90 in the settings file" file_says "music_volume = 90"

focus "$first"
quit_with_q 3
E2E_GAME_PID="$second_pid"
second_pid=""
focus "$second"
quit_with_q 3

for line in "mute = on" "music_volume = 90" "future_setting = 7"; do
    file_says "$line" || fail "\"$line\" lost from the settings file: $E2E_SEEN"
done
[ "$(head -c 3 "$file" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the byte-order mark was lost"
head -n 1 "$file" | grep -q "# my own note$" || fail "the comment was lost: $(head -n 1 "$file")"
note "M in one copy and the music volume in the other both kept, with the player's own lines"
