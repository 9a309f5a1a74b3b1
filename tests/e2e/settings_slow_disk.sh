#!/usr/bin/env bash
# With a disk whose flushes take half a second (slow_disk.cpp, preloaded
# into the game), a setting change does not hold up the game: the Down and
# Z tapped right after M move the title's cursor and open the ranking, the
# file says mute = on a moment later, and M then Q ends the game with exit
# code 0 within 1 s, an unfinished save said on stderr and the file whole.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
shim="${3:-}"
[ -f "$shim" ] || fail "usage: $0 PATH_OF_TESSALOOM PATH_OF_FORGETFUL_WM PATH_OF_SLOW_DISK"
shim="$(cd "$(dirname "$shim")" && pwd)/$(basename "$shim")"
# The pictures and sounds at full speed: only the flushes are slow.
export SLOW_DISK_MS=0 SLOW_DISK_FSYNC_MS=500
title="#00FFFF"
ranking="#FF00FF"
game="$(copy_game)"
write_bmp "$E2E_TMP/game/Graphics/Title.bmp" "$title"
write_bmp "$E2E_TMP/game/Graphics/RankBG.bmp" "$ranking"
file="$XDG_CONFIG_HOME/tessaloom/settings.ini"
file_says() {
    E2E_SEEN="$(tr '\n' ' ' <"$file" 2>/dev/null || echo "no file")"
    grep -qx "$1" "$file" 2>/dev/null
}

start_display
LD_PRELOAD="$shim" start_game "$game"
wid="$(wait_for_window)"
grep -q "$(basename "$shim")" "/proc/$E2E_GAME_PID/maps" || fail "the shim is not in the game"
focus "$wid"
wait_for_colour "$wid" 600 20 "$title" 20

tap m
tap Down
tap z
wait_for_colour "$wid" 600 20 "$ranking" 10
wait_until 10 "mute = on in the settings file" file_says "mute = on"

# The next save is still in its first flush when Q comes.
tap m
quit_with_q 1
# Almost always the save is cut off, in its flushes or still waiting for
# the one before it to finish its own; on a very busy machine it may land.
if ! file_says "mute = off"; then
    grep -qE "the save did not finish before the game closed|the game closed first" "$E2E_TMP/game.err" ||
        fail "no line about the unfinished save"
    file_says "mute = on" || fail "the settings file is not the last whole one: $E2E_SEEN"
fi
note "slow flushes: the keys after M act, the save lands; M then Q exits 0 within 1 s, saying the save did not finish"
