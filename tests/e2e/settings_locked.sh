#!/usr/bin/env bash
# Another process holds the lock of the settings folder (flock, as another
# copy of the game in the middle of its save would, only for good): M still
# mutes at once and the play goes on; the save gives up after its wait and
# says so, leaving no thread blocked and no descriptor open, however often
# M is pressed; and M then Q ends the game with exit code 0 within 1 s.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
command -v flock >/dev/null || fail "missing tool flock (util-linux)"
title="#00FFFF"
ranking="#FF00FF"
game="$(copy_game)"
write_bmp "$E2E_TMP/game/Graphics/Title.bmp" "$title"
write_bmp "$E2E_TMP/game/Graphics/RankBG.bmp" "$ranking"
folder="$XDG_CONFIG_HOME/tessaloom"
mkdir -p "$folder"

# The holder becomes tail itself (-F), which waits until it is killed; that
# lets go.
flock -F "$folder" tail -f /dev/null &
locker=$!
trap 'kill -KILL "$locker" 2>/dev/null || true; e2e_cleanup' EXIT
lock_held() { ! flock -n "$folder" true; }
wait_until 10 "the settings folder locked by another process" lock_held

# counts: "<threads> <descriptors>" of the game.
counts() {
    echo "$(ls "/proc/$E2E_GAME_PID/task" | wc -l) $(ls "/proc/$E2E_GAME_PID/fd" | wc -l)"
}
counts_are() { E2E_SEEN="threads and descriptors $(counts)"; [ "$(counts)" = "$1" ]; }
descriptors_are() { E2E_SEEN="threads and descriptors $(counts)"; [ "$(counts | cut -d' ' -f2)" = "$1" ]; }
failures() { grep -c "could not save the settings" "$E2E_TMP/game.err" || true; }
said_so() { E2E_SEEN="$(tail -n 1 "$E2E_TMP/game.err")"; [ "$(failures)" -ge 1 ]; }

start_display
start_game "$game"
wid="$(wait_for_window)"
focus "$wid"
wait_for_colour "$wid" 600 20 "$title" 20
read -r threads descriptors <<<"$(counts)"

# The frame thread goes on while the save waits: Down and Z right after M
# open the ranking.
tap m
tap Down
tap z
wait_for_colour "$wid" 600 20 "$ranking" 10
tap z
wait_for_colour "$wid" 600 20 "$title" 10
# The save's own thread, and the lock's descriptor while it tries.
wait_until 10 "the save trying the lock" counts_are "$((threads + 1)) $((descriptors + 1))"
wait_until 15 "the save giving up, on stderr" said_so
wait_until 10 "the lock's descriptor closed" counts_are "$((threads + 1)) $descriptors"

# Three more presses fold into one more try; it leaves nothing either.
focus "$wid"
tap m
tap m
tap m
wait_until 10 "the next try at the lock" descriptors_are "$((descriptors + 1))"
wait_until 15 "the next try giving up, leaving nothing" counts_are "$((threads + 1)) $descriptors"

# M, then Q at once: the game does not wait out the lock.
tap m
quit_with_q 1
note "lock held elsewhere: M and the keys after it act, tries leave nothing behind, M then Q exits 0 within 1 s"
