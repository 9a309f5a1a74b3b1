#!/usr/bin/env bash
# One window captioned Tessaloom whose client area is exactly 640 x 480 at
# (100, 100), and which can grow but not shrink below the picture.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
start_display
start_game
wid="$(wait_for_window)"
info="$(xwininfo -id "$wid")"
width="$(awk '/^ *Width:/ {print $2}' <<<"$info")"
height="$(awk '/^ *Height:/ {print $2}' <<<"$info")"
left="$(awk '/Absolute upper-left X:/ {print $4}' <<<"$info")"
top="$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$info")"
[ "$width" = 640 ] && [ "$height" = 480 ] || fail "client area ${width} x ${height}, expected 640 x 480"
[ "$left" = 100 ] && [ "$top" = 100 ] || fail "client area at (${left}, ${top}), expected (100, 100)"

name="$(xprop -id "$wid" _NET_WM_NAME WM_NAME)"
grep -q '^_NET_WM_NAME(UTF8_STRING) = "Tessaloom"$' <<<"$name" || fail "caption: $name"
grep -q '^WM_NAME(.*) = "Tessaloom"$' <<<"$name" || fail "caption: $name"

# The window asks the window manager for a minimum size of 640 x 480 and
# sets no maximum (window_grows.sh resizes it).
hints="$(xprop -id "$wid" WM_NORMAL_HINTS)"
grep -q 'minimum size: 640 by 480' <<<"$hints" || fail "no minimum size of 640 x 480: $hints"
! grep -q 'maximum size' <<<"$hints" || fail "a maximum size: $hints"

count="$(xdotool search --onlyvisible --name '^Tessaloom$' | wc -l)"
[ "$count" -eq 1 ] || fail "$count visible windows named Tessaloom"
# The game's icon from Graphics/Icon.bmp: 64 x 64, for task bars. It is
# set just after the window is shown, so it may come a moment later.
# The whole listing is read before matching: cutting it short with head lets
# xprop die of SIGPIPE, which pipefail turns into a silent failure.
has_icon() {
    local icon
    icon="$(xprop -id "$wid" _NET_WM_ICON 2>&1 || true)"
    E2E_SEEN="${icon:0:200}"
    grep -q 'Icon (64 x 64)' <<<"$icon"
}
wait_until 10 "64 x 64 window icon" has_icon
note "window: 640 x 480 at (100, 100), caption Tessaloom, at least 640 x 480, with its icon"
