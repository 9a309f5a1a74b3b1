#!/usr/bin/env bash
# Without a display the game says so in one line on stderr and exits with 1
# at once, instead of running invisibly.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
code=0
(cd "$E2E_TMP" && exec env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout -s KILL 10 "$E2E_EXE") \
    >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err" || code=$?
[ "$code" -eq 1 ] || fail "exit code $code, expected 1"
lines="$(wc -l <"$E2E_TMP/game.err")"
[ "$lines" -eq 1 ] || fail "$lines lines on stderr, expected one"
grep -qi 'display' "$E2E_TMP/game.err" || fail "the line does not mention the display: $(cat "$E2E_TMP/game.err")"
[ ! -s "$E2E_TMP/game.out" ] || fail "unexpected output on stdout"
note "no display: $(cat "$E2E_TMP/game.err")"
