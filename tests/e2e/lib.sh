# Shared by the end-to-end tests (sourced, not run). Each test gets its own
# virtual display, its own temporary directory, and a clean-up that kills
# whatever it started, with SIGKILL: an open message box makes the game
# ignore SIGTERM.
set -euo pipefail

E2E_EXE=""
E2E_TMP=""
E2E_GAME_PID=""
E2E_XVFB_PID=""
E2E_WM_PID=""
E2E_NAME="$(basename "$0" .sh)"

fail() {
    echo "FAIL [$E2E_NAME]: $*" >&2
    if [ -n "$E2E_TMP" ] && [ -s "$E2E_TMP/game.err" ]; then
        echo "--- game stderr ---" >&2
        cat "$E2E_TMP/game.err" >&2
    fi
    exit 1
}

note() { echo "[$E2E_NAME] $*"; }

e2e_cleanup() {
    local pid
    for pid in "$E2E_GAME_PID" "$E2E_WM_PID" "$E2E_XVFB_PID"; do
        if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
            kill -KILL "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
        fi
    done
    if [ -n "$E2E_TMP" ]; then rm -rf "$E2E_TMP"; fi
}

# e2e_init EXECUTABLE: checks the tools and the executable, makes the
# temporary directory and installs the clean-up.
e2e_init() {
    E2E_EXE="${1:-}"
    [ -n "$E2E_EXE" ] || fail "usage: $0 PATH_OF_TESSALOOM"
    [ -x "$E2E_EXE" ] || fail "not an executable: $E2E_EXE"
    E2E_EXE="$(cd "$(dirname "$E2E_EXE")" && pwd)/$(basename "$E2E_EXE")"
    local tool
    for tool in Xvfb xdotool xwininfo xprop; do
        command -v "$tool" >/dev/null || fail "missing tool $tool (see tools/deps.sh)"
    done
    E2E_TMP="$(mktemp -d "${TMPDIR:-/tmp}/tessaloom-e2e.XXXXXX")"
    trap e2e_cleanup EXIT
    # No sound card is needed; the game runs with a silent device.
    export SDL_AUDIODRIVER=dummy
    unset WAYLAND_DISPLAY SDL_VIDEODRIVER
}

# start_display: a private Xvfb; sets DISPLAY.
start_display() {
    local fifo="$E2E_TMP/displayfd" n=""
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$fifo" 2>"$E2E_TMP/xvfb.err" &
    E2E_XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
        n="$(head -n1 "$fifo" 2>/dev/null || true)"
        [ -n "$n" ] && break
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.err")"
        sleep 0.1
    done
    [ -n "$n" ] || fail "Xvfb gave no display number"
    export DISPLAY=":$n"
}

# start_window_manager: openbox on the private display, ready when it has
# taken over the root window.
start_window_manager() {
    command -v openbox >/dev/null || fail "missing tool openbox"
    command -v wmctrl >/dev/null || fail "missing tool wmctrl"
    openbox --sm-disable >"$E2E_TMP/wm.out" 2>&1 &
    E2E_WM_PID=$!
    local i
    for i in $(seq 1 100); do
        wmctrl -m >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "window manager did not start"
}

# start_game [EXECUTABLE]: runs the game in the background from the
# temporary directory (where its rank file goes).
start_game() {
    local exe="${1:-$E2E_EXE}"
    (cd "$E2E_TMP" && exec "$exe") >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err" &
    E2E_GAME_PID=$!
}

# wait_for_window: prints the id of the game's window once it is mapped.
wait_for_window() {
    local i id
    for i in $(seq 1 100); do
        id="$(xdotool search --onlyvisible --name '^Tessaloom$' 2>/dev/null | head -n1 || true)"
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$E2E_GAME_PID" 2>/dev/null || fail "the game ended before showing its window"
        sleep 0.1
    done
    fail "no window named Tessaloom within 10 s"
}

# wait_for_exit SECONDS: waits for the game to end and sets E2E_EXIT_CODE.
# Fails when it is still running after SECONDS. Not for $(...): only this
# shell can wait for its child.
E2E_EXIT_CODE=""
wait_for_exit() {
    local limit="$1" deadline
    deadline=$(( $(date +%s%N) + limit * 1000000000 ))
    while kill -0 "$E2E_GAME_PID" 2>/dev/null; do
        if [ "$(date +%s%N)" -gt "$deadline" ]; then
            # A zombie has ended already; anything else is late.
            if [ "$(awk '{print $3}' "/proc/$E2E_GAME_PID/stat" 2>/dev/null)" != Z ]; then
                fail "the game still runs ${limit} s later"
            fi
            break
        fi
        sleep 0.05
    done
    E2E_EXIT_CODE=0
    wait "$E2E_GAME_PID" || E2E_EXIT_CODE=$?
    E2E_GAME_PID=""
}

# focus WINDOW: gives the window the keyboard, waiting until it has it.
focus() {
    xdotool windowfocus --sync "$1" >/dev/null 2>&1 || xdotool windowfocus "$1"
}
