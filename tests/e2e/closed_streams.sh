#!/usr/bin/env bash
# Started with standard streams closed, the game still runs and Q still ends
# it with exit code 0 within 2 s. (A closed stream's number went to the
# display connection, and the "no audio device" line written to "stderr"
# then broke the connection: Q hung.) No audio device on purpose, so that
# the line is written.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
start_display
export SDL_AUDIODRIVER=no-such-driver

# run_closed REDIRECTIONS...: the game with those streams closed, then Q.
run_closed() {
    case "$*" in
    "out err") (cd "$E2E_TMP" && exec "$E2E_EXE" >&- 2>&-) & ;;
    "in out err") (cd "$E2E_TMP" && exec "$E2E_EXE" <&- >&- 2>&-) & ;;
    *) fail "run_closed: unknown streams $*" ;;
    esac
    E2E_GAME_PID=$!
    local wid
    wid="$(wait_for_window)"
    focus "$wid"
    quit_with_q 2
    note "$* closed: Q exits with 0"
}

run_closed out err
run_closed in out err
