#!/usr/bin/env bash
# A slow start-up gives way to the player. On a slow disk (slow_disk.cpp:
# every open and first read of a picture or sound waits 300 ms) the rest of
# start-up takes well over ten seconds after the title shows. Right after
# the title first shows, while that rest still loads, each of Q, the window
# manager's close request, SIGTERM and SIGINT ends the game with exit code 0
# within 1 s, and the game never reads the last file of the rest.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
shim="${3:-}"
[ -f "$shim" ] || fail "usage: $0 PATH_OF_TESSALOOM PATH_OF_FORGETFUL_WM PATH_OF_SLOW_DISK"
shim="$(cd "$(dirname "$shim")" && pwd)/$(basename "$shim")"
export SLOW_DISK_MS=300
export SLOW_DISK_LOG="$E2E_TMP/slow_disk.log"
# The last file the rest of start-up reads.
last_file="Sound/SE/GameStart.wav"

start_display
start_window_manager

managed() { grep -q ' Tessaloom$' <<<"$(wmctrl -l 2>/dev/null)"; }
read_last_file() { grep -q "/$last_file\$" "$SLOW_DISK_LOG" 2>/dev/null; }

# slow_start WAY: starts the game on the slow disk, waits for the title and
# ends the game that way (q, close, TERM or INT) while the rest loads.
slow_start() {
    local way="$1" wid
    : >"$SLOW_DISK_LOG"
    # SIGINT is ignored by a background job of a script; the game must get
    # it as a terminal would give it.
    export LD_PRELOAD="$shim"
    start_game env --default-signal=INT "$E2E_EXE"
    unset LD_PRELOAD
    wid="$(wait_for_window)"
    wait_for_title "$wid"
    [ -s "$SLOW_DISK_LOG" ] || fail "the slow disk was not used (LD_PRELOAD of $shim)"
    case "$way" in
    q) focus "$wid" ;;
    close) wait_until 20 "Tessaloom in the window manager's list" managed ;;
    esac
    ! read_last_file || fail "$way: the rest of start-up was read before the title showed; nothing to test"
    case "$way" in
    q) quit_with_q 1 ;;
    close)
        wmctrl -c Tessaloom || fail "wmctrl found no window to close"
        wait_for_exit 1
        ;;
    *)
        kill "-$way" "$E2E_GAME_PID"
        wait_for_exit 1
        ;;
    esac
    [ "$E2E_EXIT_CODE" -eq 0 ] || fail "$way: exit code $E2E_EXIT_CODE, expected 0"
    ! read_last_file || fail "$way: the game read the whole rest of start-up before it ended"
    note "$way during the slow load: exit code 0 within 1 s, $(wc -l <"$SLOW_DISK_LOG") of the files read"
}

for way in q close TERM INT; do
    slow_start "$way"
done
note "ok"
