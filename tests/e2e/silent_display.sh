#!/usr/bin/env bash
# A display that takes the connection and never answers (a hung X server or
# a dead forwarded connection: here a listener on a loopback port; then a
# real X server stopped with SIGSTOP) is given up after the game's bound of
# 10 s: one line on stderr saying so, exit code 1. While the game waits,
# SIGTERM and SIGINT end it at once, by that signal. (The game waited for
# good, printed nothing and ignored both signals.) One that closes every
# connection unanswered is tried again for a while, as a busy X server may
# do that, and then given up the same way.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
bound=10  # the game's time for the display's answer, in seconds

# start_listener MODE NAME: a listener on port 6000 + N that accepts every
# connection and holds it without a word ("hold") or closes it ("close");
# writes N to NAME.number once it listens and a line per connection to
# NAME.log. Sets LISTENED to the display's name, 127.0.0.1:N.
listeners=()
start_listener() {
    python3 - "$1" "$E2E_TMP/$2" <<'PY' >/dev/null &
import os, socket, sys

mode, name = sys.argv[1], sys.argv[2]
server = socket.socket()
for number in range(100, 1000):
    try:
        server.bind(("127.0.0.1", 6000 + number))
        break
    except OSError:
        continue
server.listen(16)
with open(name + ".tmp", "w") as f:
    f.write(f"{number}\n")
os.rename(name + ".tmp", name + ".number")
held = []
while True:
    connection, _ = server.accept()
    if mode == "hold":
        held.append(connection)
    else:
        connection.close()
    with open(name + ".log", "a") as log:
        log.write("accepted\n")
PY
    listeners+=($!)
    poll_until 10 test -s "$E2E_TMP/$2.number" || fail "the listener did not start"
    LISTENED="127.0.0.1:$(cat "$E2E_TMP/$2.number")"
}
stopped=""
trap 'kill "${listeners[@]}" 2>/dev/null || true; [ -z "$stopped" ] || kill -CONT "$stopped" 2>/dev/null || true
      e2e_cleanup' EXIT
start_listener hold silent
silent="$LISTENED"
start_listener close closing
closing="$LISTENED"

# given_up DISPLAY: the game started on DISPLAY ends within the bound (and
# some slack) with exit code 1 and one line on stderr that says so, not
# before the bound.
given_up() {
    local started elapsed
    started=$(now_ms)
    start_game env DISPLAY="$1" "$E2E_EXE"
    wait_for_exit $((bound + 10))
    elapsed=$(($(now_ms) - started))
    [ "$E2E_EXIT_CODE" -eq 1 ] || fail "$1: exit code $E2E_EXIT_CODE, expected 1"
    [ "$(wc -l <"$E2E_TMP/game.err")" -eq 1 ] || fail "$1: not exactly one line on stderr"
    grep -q "^tessaloom: the display $1 did not answer within $bound s" "$E2E_TMP/game.err" ||
        fail "$1: the line does not say the display did not answer"
    [ "$elapsed" -ge $((bound * 1000)) ] || fail "$1: gave up after $elapsed ms, before the bound"
    note "$1: exit code 1 after $elapsed ms: $(cat "$E2E_TMP/game.err")"
}

given_up "$silent"

# connections NAME: how many the listener has taken; more_than NAME N:
# whether more than N.
connections() { if [ -f "$E2E_TMP/$1.log" ]; then wc -l <"$E2E_TMP/$1.log"; else echo 0; fi; }
more_than() { [ "$(connections "$1")" -gt "$2" ]; }

# A signal while the game waits: SIGINT as from a terminal, where a
# background job of a script would ignore it.
for case in "TERM 143" "INT 130"; do
    read -r signal code <<<"$case"
    before=$(connections silent)
    start_game env --default-signal=INT DISPLAY="$silent" "$E2E_EXE"
    wait_until 10 "the game's connection to the silent display" more_than silent "$before"
    kill -"$signal" "$E2E_GAME_PID"
    wait_for_exit 1
    [ "$E2E_EXIT_CODE" -eq "$code" ] || fail "SIG$signal: exit code $E2E_EXIT_CODE, expected $code"
    note "SIG$signal while waiting: ended at once by the signal"
done

start_display
kill -STOP "$E2E_XVFB_PID"
stopped=$E2E_XVFB_PID
given_up "$DISPLAY"
kill -CONT "$stopped"
stopped=""

ends_with_one_line "$closing" "^tessaloom: the display $closing kept closing the connection" DISPLAY="$closing"
more_than closing 1 || fail "$closing: tried once only"
note "$closing: $(connections closing) tries, then: $(cat "$E2E_TMP/game.err")"
