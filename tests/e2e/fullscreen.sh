#!/usr/bin/env bash
# F11 on a 1920 x 1080 screen shows the 640 x 480 picture at twice its
# size, centred on black and sharp (each pixel a 2 x 2 block of one
# colour); F11 again restores the 640 x 480 window with the same picture.
# Alt+Enter does the same. Both ways are tried on a bare display (the game
# covers the screen itself) and under a window manager (which is asked to).
# The setting is kept in the settings file each time.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
command -v compare >/dev/null || fail "missing tool compare (imagemagick)"
file="$XDG_CONFIG_HOME/tessaloom/settings.ini"

E2E_SCREEN=1920x1080 start_display
# The window opens at 1x (AUTO would take 1.5x here).
mkdir -p "$(dirname "$file")"
printf 'window_scale = 1\n' >"$file"
# start_and_capture: starts the game, waits for its title and keeps the
# title doubled as what fullscreen must show.
start_and_capture() {
    start_game
    wid="$(wait_for_window)"
    focus "$wid"
    wait_for_title "$wid"
    screenshot "$wid" "$E2E_TMP/window.png" || fail "no screenshot of the window"
    convert "$E2E_TMP/window.png" -sample 200% "$E2E_TMP/doubled.png"
}

# differing A B: the number of pixels that differ between two pictures.
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

# shows_doubled: whether the whole screen is the doubled picture at
# (320, 60) on black.
shows_doubled() {
    timeout -s KILL 10 import -window root -depth 8 "$E2E_TMP/root.png" 2>/dev/null || return 1
    convert "$E2E_TMP/root.png" -crop 1280x960+320+60 +repage "$E2E_TMP/middle.png"
    local diff corners
    diff="$(differing "$E2E_TMP/middle.png" "$E2E_TMP/doubled.png")"
    corners="$(pixel "$E2E_TMP/root.png" 0 0) $(pixel "$E2E_TMP/root.png" 319 59) $(pixel "$E2E_TMP/root.png" 1600 1020) $(pixel "$E2E_TMP/root.png" 1919 1079)"
    E2E_SEEN="$diff pixels differ from the doubled picture; corners $corners"
    [ "$diff" = 0 ] && [ "$corners" = "#000000 #000000 #000000 #000000" ]
}
# window_size W H: whether the game's window has that client size.
window_size() {
    local info w h
    info="$(xwininfo -id "$wid" 2>/dev/null)" || return 1
    w="$(awk '/^ *Width:/ {print $2}' <<<"$info")"
    h="$(awk '/^ *Height:/ {print $2}' <<<"$info")"
    E2E_SEEN="$w x $h"
    [ "$w" = "$1" ] && [ "$h" = "$2" ]
}
file_says() {
    E2E_SEEN="$(tr '\n' ' ' <"$file" 2>/dev/null || echo "no file")"
    grep -qx "$1" "$file" 2>/dev/null
}
shows_window_picture() {
    screenshot "$wid" "$E2E_TMP/again.png" || return 1
    E2E_SEEN="$(differing "$E2E_TMP/again.png" "$E2E_TMP/window.png") pixels differ"
    [ "$E2E_SEEN" = "0 pixels differ" ]
}

# toggle KEYS: one press of the fullscreen key or chord, to the game.
toggle() {
    focus "$wid"
    tap "$1"
}
# round KEYS WHERE: the key turns fullscreen on, then off again.
round() {
    toggle "$1"
    wait_until 15 "$2: the picture at 2x, centred on black" shows_doubled
    wait_until 5 "$2: fullscreen = on in the settings file" file_says "fullscreen = on"
    toggle "$1"
    wait_until 15 "$2: a 640 x 480 window again" window_size 640 480
    wait_until 10 "$2: the title in the window again" shows_window_picture
    wait_until 5 "$2: fullscreen = off in the settings file" file_says "fullscreen = off"
}

start_and_capture
round F11 "F11 without a window manager"
round alt+Return "Alt+Enter without a window manager"
focus "$wid"
quit_with_q 3

start_window_manager
start_and_capture
round F11 "F11 under a window manager"
round alt+Return "Alt+Enter under a window manager"
focus "$wid"
quit_with_q 3
note "F11 and Alt+Enter, with and without a window manager: the title at 2x, centred, sharp on a 1920 x 1080 screen, then back to 640 x 480; each change kept in the settings file"
