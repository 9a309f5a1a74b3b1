# Shared by the end-to-end tests (sourced, not run). Each test gets its own
# virtual display, its own temporary directory, and a clean-up that kills
# whatever it started, with SIGKILL: an open message box makes the game
# ignore SIGTERM.
set -Eeuo pipefail
# A command that stops a test through set -e names itself, so that no
# failure is silent in a CI log.
trap 'echo "FAIL [$E2E_NAME]: line $LINENO: \"$BASH_COMMAND\" exited $?" >&2' ERR

E2E_EXE=""
E2E_TMP=""
E2E_GAME_PID=""
E2E_XVFB_PID=""
E2E_WM_PID=""
E2E_DISPLAY=""
E2E_WINDOW=""
# More arguments for the next start_display's Xvfb (e.g. -auth FILE).
E2E_XVFB_ARGS=()
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
    # The player's settings stay untouched: the game's settings file goes
    # into the test's own folder.
    export XDG_CONFIG_HOME="$E2E_TMP/config"
    unset WAYLAND_DISPLAY SDL_VIDEODRIVER
}

# now_ms: the clock in milliseconds. Waits are measured by it, never by
# counting tries: on a busy machine one try can take a long time.
now_ms() {
    local us="${EPOCHREALTIME//[!0-9]/}"   # the separator follows the locale
    echo $(( us / 1000 ))
}

# poll_until SECONDS COMMAND...: runs COMMAND every 0.1 s until it succeeds
# (true) or SECONDS have passed (false). COMMAND runs once more after the
# deadline, so a slow try that ends past it still counts.
poll_until() {
    local deadline=$(( $(now_ms) + $1 * 1000 ))
    shift
    while :; do
        if "$@"; then return 0; fi
        [ "$(now_ms)" -lt "$deadline" ] || break
        sleep 0.1
    done
    "$@"
}

# wait_until SECONDS WHAT COMMAND...: polls COMMAND until it succeeds;
# fails naming WHAT when SECONDS pass first, or at once when the running
# game ends meanwhile. COMMAND may set E2E_SEEN to what it saw instead,
# which the failure then names.
E2E_SEEN=""
wait_until() {
    local limit="$1" what="$2"
    shift 2
    E2E_SEEN=""
    poll_until "$limit" while_game_runs "$what" "$@" ||
        fail "no $what within $limit s${E2E_SEEN:+ (seen: $E2E_SEEN)}"
}

# while_game_runs WHAT COMMAND...: COMMAND's result, unless a started game
# has ended: waiting any longer would be pointless.
while_game_runs() {
    local what="$1"
    shift
    if [ -n "$E2E_GAME_PID" ] && game_gone; then
        fail "the game ended while waiting for $what"
    fi
    "$@"
}

# start_display [resetting]: a private Xvfb; sets DISPLAY. It keeps its
# state (the keyboard layout, say) when its last client leaves; with
# "resetting" it starts afresh then, as Xvfb does by default, and refuses
# connections while it does. The screen is 1024 x 768 unless E2E_SCREEN
# names another size (e.g. 1920x1080).
start_display() {
    local numfile="$E2E_TMP/displayfd" keep=(-noreset)
    [ "${1:-}" != resetting ] || keep=()
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1024x768}x24" -nolisten tcp "${keep[@]}" "${E2E_XVFB_ARGS[@]}" \
        3>"$numfile" 2>"$E2E_TMP/xvfb.err" &
    E2E_XVFB_PID=$!
    wait_until 20 "display number from Xvfb" display_number_written "$numfile"
    export DISPLAY=":$E2E_DISPLAY"
}

# display_number_written FILE: whether Xvfb has written its whole display
# number (a line) there; sets E2E_DISPLAY. Fails when Xvfb has ended.
display_number_written() {
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || fail "Xvfb did not start: $(cat "$E2E_TMP/xvfb.err")"
    local line
    IFS= read -r line <"$1" 2>/dev/null && [[ "$line" =~ ^[0-9]+$ ]] && E2E_DISPLAY="$line"
}

# start_window_manager: openbox on the private display, ready when it has
# finished starting. It names itself on the root window early, while a
# request to show a window can still be lost; it runs its start-up command
# only once it is done.
start_window_manager() {
    command -v openbox >/dev/null || fail "missing tool openbox"
    command -v wmctrl >/dev/null || fail "missing tool wmctrl"
    openbox --sm-disable --startup "touch $E2E_TMP/wm.ready" >"$E2E_TMP/wm.out" 2>&1 &
    E2E_WM_PID=$!
    wait_until 20 "window manager on the display" wm_ready
}

# wm_ready: whether the window manager has finished starting; fails when
# it has ended.
wm_ready() {
    kill -0 "$E2E_WM_PID" 2>/dev/null || fail "the window manager ended: $(cat "$E2E_TMP/wm.out")"
    [ -e "$E2E_TMP/wm.ready" ] && wmctrl -m >/dev/null 2>&1
}

# start_game [EXECUTABLE [ARGUMENTS...]]: runs the game in the background
# from the temporary directory (where its rank file goes).
start_game() {
    local exe="${1:-$E2E_EXE}"
    (cd "$E2E_TMP" && exec "$exe" "${@:2}") >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err" &
    E2E_GAME_PID=$!
}

# wait_for_window: prints the id of the game's window once it is mapped.
wait_for_window() {
    wait_until 20 "visible window named Tessaloom" game_window_shown
    echo "$E2E_WINDOW"
}

# game_window_shown: whether the game's window is mapped; sets E2E_WINDOW,
# or E2E_SEEN to the game's windows that are not.
game_window_shown() {
    E2E_WINDOW="$(xdotool search --onlyvisible --name '^Tessaloom$' 2>/dev/null | head -n1 || true)"
    [ -z "$E2E_WINDOW" ] || return 0
    local id
    E2E_SEEN="game in state $(awk '{print $3}' "/proc/$E2E_GAME_PID/stat" 2>/dev/null) at $(cat "/proc/$E2E_GAME_PID/wchan" 2>/dev/null)"
    for id in $(xdotool search --name '^Tessaloom$' 2>/dev/null || true); do
        E2E_SEEN="$E2E_SEEN; window $id $(xwininfo -id "$id" 2>/dev/null | awk '/Map State/ {print $3}')"
    done
    if [ -n "$E2E_WM_PID" ] && ! kill -0 "$E2E_WM_PID" 2>/dev/null; then
        E2E_SEEN="$E2E_SEEN; the window manager has ended: $(tail -n 3 "$E2E_TMP/wm.out")"
    fi
    return 1
}

# wait_for_exit SECONDS: waits for the game to end and sets E2E_EXIT_CODE.
# Fails when it is still running after SECONDS. Not for $(...): only this
# shell can wait for its child.
E2E_EXIT_CODE=""
wait_for_exit() {
    poll_until "$1" game_gone || fail "the game still runs $1 s later"
    E2E_EXIT_CODE=0
    wait "$E2E_GAME_PID" || E2E_EXIT_CODE=$?
    E2E_GAME_PID=""
}

# game_gone: whether the game has ended (a zombie has: only its exit code
# is left to collect).
game_gone() {
    ! kill -0 "$E2E_GAME_PID" 2>/dev/null ||
        [ "$(awk '{print $3}' "/proc/$E2E_GAME_PID/stat" 2>/dev/null)" = Z ]
}

# focus WINDOW: gives the window the keyboard, waiting until it has it.
focus() {
    xdotool windowfocus --sync "$1" >/dev/null 2>&1 || xdotool windowfocus "$1"
}

# write_bmp FILE KIND: a 640 x 480 24-bit BMP the way the game reads them.
# KIND "card": four quadrants (red, green / blue, yellow from the top) and
# a white marker near the top-left corner, so a flip, a mirror or swapped
# red and blue show; or a colour "#RRGGBB" for a plain picture.
write_bmp() {
    command -v python3 >/dev/null || fail "missing tool python3"
    mkdir -p "$(dirname "$1")"
    python3 - "$1" "$2" <<'PY'
import struct, sys

path, kind = sys.argv[1], sys.argv[2]
W, H = 640, 480
RED, GREEN, BLUE, YELLOW, WHITE = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (255, 255, 255)

def card(x, y):  # y from the top of the screen
    if 16 <= x < 48 and 16 <= y < 48:
        return WHITE
    if y < 240:
        return RED if x < 320 else GREEN
    return BLUE if x < 320 else YELLOW

if kind == "card":
    colour = card
else:
    plain = tuple(int(kind[i:i + 2], 16) for i in (1, 3, 5))
    colour = lambda x, y: plain

rows = []
for y in range(H - 1, -1, -1):  # a BMP stores the bottom row first
    row = bytearray()
    for x in range(W):
        r, g, b = colour(x, y)
        row += bytes((b, g, r))
    rows.append(bytes(row))      # 640 * 3 is a multiple of 4: no padding
pixels = b"".join(rows)
header = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
with open(path, "wb") as f:
    f.write(header + info + pixels)
PY
}

# copy_game: a copy of the game in its own folder, so that the pictures
# written beside it are the only ones it finds; prints the copy's path.
copy_game() {
    mkdir -p "$E2E_TMP/game"
    cp "$E2E_EXE" "$E2E_TMP/game/tessaloom"
    echo "$E2E_TMP/game/tessaloom"
}

# screenshot WINDOW FILE: the window's client area, as a PNG or, for a
# FILE named *.rgb, as raw 8-bit RGB (cheaper to read when polling).
screenshot() {
    command -v import >/dev/null || fail "missing tool import (imagemagick)"
    # import waits forever on a window that has gone: bound it.
    timeout -s KILL 5 import -window "$1" -depth 8 "$2" 2>/dev/null
}

# pixel FILE X Y: prints the colour there as #RRGGBB.
pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -n1 | tr a-f A-F
}

# wait_for_colour WINDOW X Y #RRGGBB SECONDS: until the window shows that
# colour there; fails with what it shows instead.
wait_for_colour() {
    wait_until "$5" "colour $4 at ($2, $3)" shows_colour "$1" "$2" "$3" "$4"
}

# shows_colour WINDOW X Y #RRGGBB: whether a screenshot shows that colour
# there; sets E2E_SEEN to the colour it shows.
shows_colour() {
    screenshot "$1" "$E2E_TMP/wait.png" || return 1
    E2E_SEEN="$(pixel "$E2E_TMP/wait.png" "$2" "$3")"
    [ "$E2E_SEEN" = "$4" ]
}

# wait_for_title WINDOW: until the window shows the title picture beside
# the game: start-up is over and the frame thread draws.
wait_for_title() {
    local picture
    picture="$(dirname "$E2E_EXE")/Graphics/Title.bmp"
    [ -f "$picture" ] || fail "no generated pictures beside the game in $(dirname "$E2E_EXE")"
    wait_for_colour "$1" 320 100 "$(pixel "$picture" 320 100)" 20
}

# tap KEY: a press long enough for the game to see it (a press and release
# that both fall between two frames is not seen, by design). The hold only
# spaces the input, here and for the test controller's buttons.
E2E_PRESS_HOLD=0.15
tap() {
    xdotool keydown "$1"
    sleep "$E2E_PRESS_HOLD"
    xdotool keyup "$1"
}

# quit_with_q SECONDS [KEY]: holds Q (or KEY, e.g. a keycode) and expects
# the game to end with exit code 0 within SECONDS.
quit_with_q() {
    local key="${2:-q}"
    xdotool keydown "$key"
    wait_for_exit "$1"
    xdotool keyup "$key" 2>/dev/null || true
    [ "$E2E_EXIT_CODE" -eq 0 ] || fail "exit code $E2E_EXIT_CODE after Q, expected 0"
}

# pair_shows_in WID GRAPHICS COLUMN...: whether the window's well shows
# blocks low in exactly these columns (the landed or falling pair) and
# nothing in the others, read against the empty game background.
pair_shows_in() {
    local wid="$1" graphics="$2" bottoms c want w
    shift 2
    screenshot "$wid" "$E2E_TMP/well.rgb" || return 1
    read -r -a bottoms <<<"$(python3 "$(dirname "${BASH_SOURCE[0]}")/screen.py" column-bottoms "$E2E_TMP/well.rgb" "$graphics/GameBG.bmp")"
    E2E_SEEN="lowest drawn row of columns 0-7: ${bottoms[*]}"
    for c in 0 1 2 3 4 5 6 7; do
        want=0
        for w in "$@"; do [ "$w" = "$c" ] && want=1; done
        if [ "$want" = 1 ]; then [ "${bottoms[$c]}" -gt 48 ] || return 1; else [ "${bottoms[$c]}" -eq -1 ] || return 1; fi
    done
}

# ends_with_one_line WHAT PATTERN VAR=VALUE...: runs the game with those
# variables (10 s at most) and fails unless it exits with code 1 and exactly
# one line on stderr, which matches PATTERN.
ends_with_one_line() {
    local what="$1" pattern="$2" code=0
    shift 2
    (cd "$E2E_TMP" && exec env "$@" timeout -s KILL 10 "$E2E_EXE") \
        >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err" || code=$?
    [ "$code" -eq 1 ] || fail "$what: exit code $code, expected 1"
    [ "$(wc -l <"$E2E_TMP/game.err")" -eq 1 ] || fail "$what: not exactly one line on stderr"
    grep -q "$pattern" "$E2E_TMP/game.err" || fail "$what: the line is not \"$pattern\": $(cat "$E2E_TMP/game.err")"
}
