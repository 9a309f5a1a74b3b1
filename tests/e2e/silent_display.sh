#!/usr/bin/env bash
# A display that takes the connection and never answers (a hung X server or
# a dead forwarded connection: here a listener on a loopback port; then a
# real X server stopped with SIGSTOP) is given up after the game's bound of
# 10 s: one line on stderr saying so, exit code 1. While the game waits,
# SIGTERM and SIGINT end it at once, by that signal. (The game waited for
# good, printed nothing and ignored both signals.)
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
bound=10  # the game's time for the display's answer, in seconds

# The listener: accepts every connection on port 6000 + N and holds it
# without a word; writes N once it listens and a line per connection.
listening="$E2E_TMP/listener.number"
accepted="$E2E_TMP/listener.log"
python3 - "$listening" "$accepted" <<'PY' &
import os, socket, sys

server = socket.socket()
for number in range(100, 1000):
    try:
        server.bind(("127.0.0.1", 6000 + number))
        break
    except OSError:
        continue
server.listen(16)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(f"{number}\n")
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
held = []
while True:
    connection, _ = server.accept()
    held.append(connection)
    with open(sys.argv[2], "a") as log:
        log.write("accepted\n")
PY
listener=$!
stopped=""
trap 'kill "$listener" 2>/dev/null || true; [ -z "$stopped" ] || kill -CONT "$stopped" 2>/dev/null || true; e2e_cleanup' EXIT
poll_until 10 test -s "$listening" || fail "the listener did not start"
silent="127.0.0.1:$(cat "$listening")"

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

# connections: how many the listener has taken; more_than N: whether more
# than N.
connections() { if [ -f "$accepted" ]; then wc -l <"$accepted"; else echo 0; fi; }
more_than() { [ "$(connections)" -gt "$1" ]; }

# A signal while the game waits: SIGINT as from a terminal, where a
# background job of a script would ignore it.
for case in "TERM 143" "INT 130"; do
    read -r signal code <<<"$case"
    before=$(connections)
    start_game env --default-signal=INT DISPLAY="$silent" "$E2E_EXE"
    wait_until 10 "the game's connection to the silent display" more_than "$before"
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
