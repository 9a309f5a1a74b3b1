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

# A display number with no server: no socket file and no abstract socket;
# then one whose socket file is left over from a server that has gone (it
# said "is DISPLAY set?", while it was). Both are told apart, in one line.
free_display() {
    local n="$1"
    while [ -e "/tmp/.X11-unix/X$n" ] || grep -q "X11-unix/X$n\$" /proc/net/unix 2>/dev/null; do
        n=$((n + 1))
    done
    echo "$n"
}
# The socket folder as an X server makes it, for the left-over socket.
start_display
n="$(free_display 900)"
stale="$(free_display $((n + 1)))"
trap 'rm -f "/tmp/.X11-unix/X$stale"; e2e_cleanup' EXIT
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "/tmp/.X11-unix/X$stale"
for case in "$n:there is no /tmp/.X11-unix/X$n" "$stale:its socket /tmp/.X11-unix/X$stale is left over"; do
    number="${case%%:*}"
    code=0
    started=$(date +%s%N)
    (cd "$E2E_TMP" && exec env DISPLAY=":$number" timeout -s KILL 10 "$E2E_EXE") \
        >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err" || code=$?
    elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
    [ "$code" -eq 1 ] || fail "display :$number: exit code $code, expected 1"
    [ "$(wc -l <"$E2E_TMP/game.err")" -eq 1 ] || fail "display :$number: not exactly one line on stderr"
    grep -q "^tessaloom: no X server .*display :$number.*${case#*:}" "$E2E_TMP/game.err" ||
        fail "display :$number: the line does not say \"${case#*:}\""
    # A busy display is tried for a second; a missing one must not be.
    [ "$elapsed" -lt 1000 ] || fail "display :$number: the game took $elapsed ms to give up"
    note "display :$number: exit code 1 after $elapsed ms: $(cat "$E2E_TMP/game.err")"
done
