#!/usr/bin/env bash
# The window grows under a window manager (openbox), and the picture with
# it, pixel for pixel: maximised and resized by hand, it shows the 640 x 480
# picture at the largest step that fits (1x, 1.5x, then whole factors),
# centred on black; 1.5x is sharp (of each two pixels the first, their mean
# and the second). With sharp_scaling on, a window of twice the picture shows
# it doubled exactly, and a larger one is filled. A size chosen in the
# options leaves a maximised window at that size. AUTO opens the window at
# 1.5x (960 x 720) on a 1920 x 1080 screen, at 1x on 1024 x 768 and at 2x
# on 2560 x 1440.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
command -v compare >/dev/null || fail "missing tool compare (imagemagick)"
screen_py="$(dirname "$0")/screen.py"
settings="$XDG_CONFIG_HOME/tessaloom/settings.ini"

# with_settings TEXT: the settings file the next game starts with.
with_settings() {
    mkdir -p "$(dirname "$settings")"
    printf '%s' "$1" >"$settings"
}

# start_on_title: starts the game and waits for its title in a 1x window;
# sets wid.
start_on_title() {
    start_game
    wid="$(wait_for_window)"
    focus "$wid"
    wait_until 10 "a 640 x 480 window" window_size 640 480
    wait_for_title "$wid"
}

# start_auto W H WHERE: starts the game and waits for a W x H window
# showing the title as its size asks; sets wid.
start_auto() {
    start_game
    wid="$(wait_for_window)"
    focus "$wid"
    wait_until 10 "AUTO's $1 x $2 window on $3" window_size "$1" "$2"
    wait_until 20 "AUTO's picture on $3" shows_expected
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

# client_size: prints the window's client width and height.
client_size() {
    xwininfo -id "$wid" | awk '/^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print w, h}'
}

# expected W H OUT: what a window of W x H must show of native.png: the
# largest step that fits, centred on black.
expected() {
    local w="$1" h="$2" out="$3" halves step
    halves=$(( 2 * w / 640 < 2 * h / 480 ? 2 * w / 640 : 2 * h / 480 ))
    if [ "$halves" -ge 4 ]; then step=$(( halves - halves % 2 )); else step="$halves"; fi
    [ "$step" -ge 2 ] || step=2
    if [ "$step" = 3 ]; then
        python3 "$screen_py" one-and-a-half "$E2E_TMP/native.rgb" "$E2E_TMP/scaled.rgb"
        convert -size 960x720 -depth 8 "rgb:$E2E_TMP/scaled.rgb" "$E2E_TMP/scaled.png"
    else
        convert "$E2E_TMP/native.png" -sample "$(( step * 50 ))%" "$E2E_TMP/scaled.png"
    fi
    local sw=$(( 640 * step / 2 )) sh=$(( 480 * step / 2 ))
    convert -size "${w}x${h}" xc:black "$E2E_TMP/scaled.png" -geometry "+$(( (w - sw) / 2 ))+$(( (h - sh) / 2 ))" \
        -composite -depth 8 "$out"
    E2E_STEP="$step"
}

# shows_expected: whether the window shows exactly what its size asks for.
shows_expected() {
    local size
    size="$(client_size)" || return 1
    # shellcheck disable=SC2086
    expected $size "$E2E_TMP/expected.png"
    screenshot "$wid" "$E2E_TMP/shot.png" || return 1
    local diff
    diff="$(compare -metric AE "$E2E_TMP/shot.png" "$E2E_TMP/expected.png" null: 2>&1 || true)"
    E2E_SEEN="window $size, step $E2E_STEP (half factors): $diff pixels differ"
    [ "$diff" = 0 ]
}

# resize W H: the window's client area to W x H, asked of the window manager.
resize() {
    xdotool windowsize "$wid" "$1" "$2"
    wait_until 10 "a $1 x $2 window" window_size "$1" "$2"
}

maximised() {
    local state
    state="$(xprop -id "$wid" _NET_WM_STATE 2>/dev/null)" || return 1
    E2E_SEEN="$state"
    grep -q _NET_WM_STATE_MAXIMIZED_VERT <<<"$state" && grep -q _NET_WM_STATE_MAXIMIZED_HORZ <<<"$state"
}

E2E_SCREEN=1920x1080 start_display
start_window_manager

# The picture at 1x, as every larger one must show it.
with_settings "window_scale = 1"$'\n'
start_on_title
screenshot "$wid" "$E2E_TMP/native.png" || fail "no screenshot of the window"
convert "$E2E_TMP/native.png" -depth 8 "rgb:$E2E_TMP/native.rgb"

wmctrl -i -r "$wid" -b add,maximized_vert,maximized_horz
wait_until 10 "a maximised window" maximised
wait_until 15 "the maximised window's picture" shows_expected
[ "$E2E_STEP" = 4 ] || fail "maximised on 1920 x 1080: step $E2E_STEP, expected 4 (2x)"
wmctrl -i -r "$wid" -b remove,maximized_vert,maximized_horz
for size in "1000 760" "1280 959" "1400 1000" "700 500"; do
    # shellcheck disable=SC2086
    resize $size
    wait_until 15 "the picture of a ${size/ / x } window" shows_expected
done
# The window's size by hand is the player's; the setting stays.
grep -qx "window_scale = 1" "$settings" || fail "settings changed: $(cat "$settings")"
# A size chosen in the options un-maximises the window: 1x, then 1.5x.
wmctrl -i -r "$wid" -b add,maximized_vert,maximized_horz
wait_until 10 "a maximised window" maximised
focus "$wid"
tap o
tap Right
wait_until 10 "the 960 x 720 window chosen in the options" window_size 960 720
! maximised || fail "still maximised at 960 x 720: $E2E_SEEN"
saved() {
    E2E_SEEN="$(tr '\n' ' ' <"$settings" 2>/dev/null || echo "no file")"
    grep -qx "$1" "$settings" 2>/dev/null
}
wait_until 5 "window_scale = 1.5 in the settings file" saved "window_scale = 1.5"
tap Escape
focus "$wid"
quit_with_q 3

# Sharp scaling: a whole factor stays exact, a larger window is filled.
with_settings "window_scale = 1"$'\n'"sharp_scaling = on"$'\n'
start_on_title
resize 1280 960
convert "$E2E_TMP/native.png" -sample 200% -depth 8 "$E2E_TMP/doubled.png"
doubled() {
    screenshot "$wid" "$E2E_TMP/shot.png" || return 1
    E2E_SEEN="$(compare -metric AE "$E2E_TMP/shot.png" "$E2E_TMP/doubled.png" null: 2>&1 || true) pixels differ"
    [ "$E2E_SEEN" = "0 pixels differ" ]
}
wait_until 15 "the picture doubled exactly at 1280 x 960 with sharp scaling" doubled
resize 1000 750
fills() {
    screenshot "$wid" "$E2E_TMP/shot.png" || return 1
    local corners want
    corners="$(pixel "$E2E_TMP/shot.png" 0 0) $(pixel "$E2E_TMP/shot.png" 999 749)"
    want="$(pixel "$E2E_TMP/native.png" 0 0) $(pixel "$E2E_TMP/native.png" 639 479)"
    E2E_SEEN="corners $corners, the picture's $want"
    [ "$corners" = "$want" ]
}
wait_until 15 "the picture filling a 1000 x 750 window with sharp scaling" fills
focus "$wid"
quit_with_q 3

# AUTO: 1.5x on 1920 x 1080, sharp.
with_settings ""
start_auto 960 720 1920x1080
[ "$E2E_STEP" = 3 ] || fail "AUTO on 1920 x 1080: step $E2E_STEP, expected 3 (1.5x)"
focus "$wid"
quit_with_q 3

# auto_on SCREEN W H: AUTO's window on a fresh display of that size.
auto_on() {
    kill -KILL "$E2E_WM_PID" "$E2E_XVFB_PID" 2>/dev/null || true
    wait "$E2E_WM_PID" "$E2E_XVFB_PID" 2>/dev/null || true
    E2E_SCREEN="$1" start_display
    start_window_manager
    start_auto "$2" "$3" "$1"
    focus "$wid"
    quit_with_q 3
}
auto_on 1024x768 640 480
auto_on 2560x1440 1280 960
note "maximised and resized under openbox, the picture at the largest step, centred, pixel for pixel; sharp scaling exact at 2x and filling; AUTO 960 x 720 on 1920 x 1080, 640 x 480 on 1024 x 768, 1280 x 960 on 2560 x 1440"
