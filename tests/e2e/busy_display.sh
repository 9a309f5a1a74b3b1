#!/usr/bin/env bash
# The game's window opens even while the X server is busy with other
# connections: START_ROUNDS starts in a row (default 40; tools/window_stress.sh
# runs 200) under one display while another client opens and closes it as
# fast as it can, each start showing its window and ending with exit code 0
# on SIGTERM. (The display refused the game's connection now and then, while
# it started afresh after its last client left, and the game gave up at
# once: "cannot open the game window", exit code 1.)
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
rounds="${START_ROUNDS:-40}"
start_display resetting

# The other client: opens the display and closes it again, without end,
# until the display is gone for good. Each time it leaves as the last
# client the display starts afresh.
python3 - <<'PY' &
import ctypes, time

xlib = ctypes.CDLL("libX11.so.6")
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
failed_since = None
while True:
    display = xlib.XOpenDisplay(None)
    if display:
        xlib.XCloseDisplay(display)
        failed_since = None
    elif failed_since is None:
        failed_since = time.monotonic()
    elif time.monotonic() - failed_since > 5:
        break
PY
hammer=$!
trap 'kill "$hammer" 2>/dev/null || true; e2e_cleanup' EXIT

started=$(date +%s%N)
for round in $(seq 1 "$rounds"); do
    start_game
    wait_for_window >/dev/null
    kill -TERM "$E2E_GAME_PID"
    wait_for_exit 5
    [ "$E2E_EXIT_CODE" -eq 0 ] || fail "round $round: exit code $E2E_EXIT_CODE, expected 0"
done
elapsed=$(( ($(date +%s%N) - started) / 1000000 ))
kill -0 "$hammer" 2>/dev/null || fail "the other client stopped early"
note "$rounds starts on a busy display: every window opened ($elapsed ms, $(( elapsed / rounds )) ms each)"
