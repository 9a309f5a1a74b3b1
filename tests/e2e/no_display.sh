#!/usr/bin/env bash
# Without a display the game says so in one line on stderr and exits with 1
# at once, instead of running invisibly. The same when DISPLAY names a
# display that is not there: that is no busy display worth trying again.
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

# A display number with no server: no socket file and no abstract socket.
n=900
while [ -e "/tmp/.X11-unix/X$n" ] || grep -q "X11-unix/X$n\$" /proc/net/unix 2>/dev/null; do
    n=$((n + 1))
done
code=0
started=$(date +%s%N)
(cd "$E2E_TMP" && exec env DISPLAY=":$n" timeout -s KILL 10 "$E2E_EXE") \
    >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err" || code=$?
elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
[ "$code" -eq 1 ] || fail "display :$n: exit code $code, expected 1"
# Other libraries may add their own lines; the game's is the last.
tail -n1 "$E2E_TMP/game.err" | grep -q '^tessaloom: .*display' ||
    fail "display :$n: the last line is not the game's about the display"
# A busy display is tried for a second; a missing one must not be.
[ "$elapsed" -lt 1000 ] || fail "display :$n: the game took $elapsed ms to give up"
note "display :$n not there: exit code 1 after $elapsed ms: $(tail -n1 "$E2E_TMP/game.err")"
