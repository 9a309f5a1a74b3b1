#!/usr/bin/env bash
# An X server that wants a cookie the game does not have refuses it: the
# game says so in one line with the server's reason and exits with 1,
# after one try (a refusal is no busy display to try again). With the
# right cookie, found by the host name as Xlib finds it, the window opens.
# (Xlib printed the reason at every try for two seconds, 51 lines, and
# then the game asked whether DISPLAY was set.)
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"

# write_cookie FILE FAMILY COOKIE_HEX: an authority file of one magic
# cookie, for any address ("wild") or for this machine by its host name
# ("local"), the way xauth writes them.
write_cookie() {
    python3 - "$@" <<'PY'
import socket, struct, sys

path, family, cookie = sys.argv[1], sys.argv[2], bytes.fromhex(sys.argv[3])
counted = lambda b: struct.pack(">H", len(b)) + b
if family == "wild":
    entry = struct.pack(">H", 0xFFFF) + counted(b"") + counted(b"")
else:
    entry = struct.pack(">H", 256) + counted(socket.gethostname().encode()) + counted(sys.argv[4].encode())
with open(path, "wb") as f:
    f.write(entry + counted(b"MIT-MAGIC-COOKIE-1") + counted(cookie))
PY
}

server_cookie=00112233445566778899aabbccddeeff
write_cookie "$E2E_TMP/server.auth" wild "$server_cookie"
write_cookie "$E2E_TMP/wrong.auth" wild ffeeddccbbaa99887766554433221100
E2E_XVFB_ARGS=(-auth "$E2E_TMP/server.auth" -audit 2)
start_display

# refusals: the refused connections in the server's audit log;
# refused_more_than N: whether more than N.
refusals() { grep -c 'rejected' "$E2E_TMP/xvfb.err" || true; }
refused_more_than() { [ "$(refusals)" -gt "$1" ]; }

for case in "no cookie:$E2E_TMP/none.auth" "a wrong cookie:$E2E_TMP/wrong.auth"; do
    what="${case%%:*}"
    before=$(refusals)
    ends_with_one_line "$what" "^tessaloom: the display $DISPLAY refused the connection: ..*" XAUTHORITY="${case#*:}"
    poll_until 5 refused_more_than "$before" || true  # the server logs as it refuses
    tries=$(($(refusals) - before))
    [ "$tries" -eq 1 ] || fail "$what: the server refused $tries connections, expected one"
    note "$what: $(cat "$E2E_TMP/game.err")"
done

# The right cookie, filed under this machine's name and the display number.
write_cookie "$E2E_TMP/local.auth" local "$server_cookie" "$E2E_DISPLAY"
export XAUTHORITY="$E2E_TMP/local.auth"
start_game
wait_for_window >/dev/null
kill -TERM "$E2E_GAME_PID"
wait_for_exit 5
[ "$E2E_EXIT_CODE" -eq 0 ] || fail "with the right cookie: exit code $E2E_EXIT_CODE, expected 0"
note "with the right cookie the window opened"
