#!/usr/bin/env bash
# Modern controls (controls = modern in the settings file) through the real
# window: Q during the game shows the question instead of quitting; Esc
# takes the game back as it was; Q again and Z end the game with exit 0.
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_init "${1:-}"
graphics="$(dirname "$E2E_EXE")/Graphics"
[ -f "$graphics/QuitQuestion.bmp" ] || fail "no generated pictures beside the game in $(dirname "$E2E_EXE")"
mkdir -p "$XDG_CONFIG_HOME/tessaloom"
printf 'controls = modern\n' >"$XDG_CONFIG_HOME/tessaloom/settings.ini"

# A point of the question's panel that shows its words, where the pause
# panel (drawn at the same place) shows none: the panel's top left is the
# well's left edge (192) and 160 from the top.
read -r qx qy colour <<<"$(python3 - "$graphics/QuitQuestion.bmp" "$graphics/Paused.bmp" <<'PY'
import struct, sys
def load(path):
    d = open(path, 'rb').read()
    off = struct.unpack_from('<I', d, 10)[0]
    w, h = struct.unpack_from('<ii', d, 18)
    row = (w * 3 + 3) // 4 * 4
    return w, h, lambda x, y: tuple(d[off + (h - 1 - y) * row + x * 3 + i] for i in (2, 1, 0))
w, h, quit = load(sys.argv[1])
_, _, paused = load(sys.argv[2])
for y in range(h):
    for x in range(w):
        if quit(x, y) == (255, 255, 255) and paused(x, y) != (255, 255, 255):
            print(192 + x, 160 + y, '#FFFFFF')
            sys.exit(0)
sys.exit(1)
PY
)" || fail "no point tells the question from the pause panel"
play_bg="$(pixel "$graphics/GameBG.bmp" 20 470)"

start_display
start_game
wid="$(wait_for_window)"
focus "$wid"
wait_for_title "$wid"
tap z
wait_for_colour "$wid" 20 470 "$play_bg" 20

tap q
wait_for_colour "$wid" "$qx" "$qy" "$colour" 10
kill -0 "$E2E_GAME_PID" 2>/dev/null || fail "Q ended the game instead of asking"
note "Q shows the question"

# not_asking: whether the question has gone from the screen.
not_asking() { ! shows_colour "$wid" "$qx" "$qy" "$colour"; }
tap Escape
wait_until 10 "the game back after Esc" not_asking
kill -0 "$E2E_GAME_PID" 2>/dev/null || fail "the game ended after Esc"
note "Esc took the game back"

tap q
wait_for_colour "$wid" "$qx" "$qy" "$colour" 10
tap z
wait_for_exit 5
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE after Q and Z, expected 0"
note "ok: Q and Z quit with exit 0"
