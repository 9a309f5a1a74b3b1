#!/usr/bin/env bash
# Input latency of the real game under Xvfb, seen from outside: from a key
# press sent with XTest to the first changed pixel of the window
# (bench_key_latency polls the window with XGetImage), over PRESSES presses
# (default 60) in each of:
#   title:   Down and Up in turn move the menu cursor (its column watched);
#   classic: Left and Right in turn move the falling pair (the well watched;
#            a move changes two columns at once, the pair's fall one);
#   modern:  the same with controls = modern (a settings file of its own);
#   ltris:   Debian's `ltris`, Down and Up in turn on its menu (the whole
#            window watched), on the same display; skipped with a line when
#            it is not installed.
# Prints the median and 95th percentile of each, and how many presses
# showed no change within a second (left out). Target: modern play median
# <= 25 ms and 95th percentile <= 40 ms, and below LTris's median.
#
# Usage: bench/latency.sh [PRESSES] [PATH_OF_TESSALOOM]
# Without a path it builds build/bench (Release, game and assets) first.
set -euo pipefail
cd "$(dirname "$0")/.."
presses="${1:-60}"
case "$presses" in '' | *[!0-9]* | 0) echo "usage: $0 [PRESSES] [PATH_OF_TESSALOOM]" >&2; exit 2 ;; esac
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTESSALOOM_BENCH=ON -DTESSALOOM_GAME=ON >/dev/null
cmake --build build/bench --target bench_key_latency -j2 >/dev/null
probe="$PWD/build/bench/bench/bench_key_latency"
. bench/lib.sh
bench_game "${2:-}"

# The game's screen places (render/renderer.h): the menu cursor's column
# and the well.
cursor=(210 350 32 72)
well=(192 48 256 384)
pause_ms=150

# summary NAME FILE: the median and 95th percentile of the probe's times.
summary() {
    local times lost
    times="$(sed -n 's/^press [0-9]* [^:]*: \([0-9.]*\) ms$/\1/p' "$2" | sort -n)"
    lost="$(grep -c 'no change$' "$2" || true)"
    [ -n "$times" ] || fail "$1: no press changed the picture"
    awk -v name="$1" -v lost="$lost" '{v[NR] = $1}
        END {
            mid = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            p95 = v[int(NR * 0.95 + 0.999999)]
            printf "%-8s median %6.1f ms, 95th percentile %6.1f ms, min %5.1f, max %6.1f (%d presses, %d without change)\n",
                name, mid, p95, v[1], v[NR], NR, lost
        }' <<<"$times"
    awk -v n="$1" '{print n, $0}' "$2" >>"$E2E_TMP/all.txt"
}

# measure NAME WINDOW KEYS X Y W H BAND MIN_BANDS: runs the probe.
measure() {
    local name="$1"
    shift
    "$probe" "$1" "$presses" "$2" "$3" "$4" "$5" "$6" "$7" "$8" "$pause_ms" >"$E2E_TMP/$name.txt" ||
        fail "$name: the probe failed"
    summary "$name" "$E2E_TMP/$name.txt" >>"$E2E_TMP/summary.txt"
}

end_game() {
    kill -TERM "$E2E_GAME_PID"
    wait_for_exit 2
}

# play_game NAME: starts the game, measures the title (once), starts a game
# with Z and measures its pair moves.
play_game() {
    start_game
    local wid
    wid="$(wait_for_window)"
    focus "$wid"
    wait_for_title "$wid"
    sleep 1  # past the loading that follows the first picture
    if [ "$1" = classic ]; then
        measure title "$wid" Down,Up "${cursor[@]}" 32 1
        # Back on the first entry, the game start.
        [ $((presses % 2)) -eq 0 ] || tap Up
    fi
    tap z
    sleep 3  # the start banner glides over the well for about 2.5 s
    measure "$1" "$wid" Left,Right "${well[@]}" 32 2
    end_game
}

: >"$E2E_TMP/summary.txt"
play_game classic
mkdir -p "$XDG_CONFIG_HOME/tessaloom"
echo "controls = modern" >"$XDG_CONFIG_HOME/tessaloom/settings.ini"
play_game modern

peer="$(command -v ltris || true)"
[ -n "$peer" ] || { [ ! -x /usr/games/ltris ] || peer=/usr/games/ltris; }
if [ -n "$peer" ]; then
    mkdir -p "$E2E_TMP/peer-home"
    (cd "$E2E_TMP" && HOME="$E2E_TMP/peer-home" exec "$peer") >"$E2E_TMP/peer.out" 2>&1 &
    E2E_GAME_PID=$!
    wait_until 20 "window of ltris" eval 'wid="$(xdotool search --onlyvisible --pid "$E2E_GAME_PID" 2>/dev/null | head -n1)"; [ -n "$wid" ]'
    focus "$wid"
    sleep 2  # its menu drawn and still
    read -r w h < <(xwininfo -id "$wid" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w, h}')
    measure ltris "$wid" Down,Up 0 0 "$w" "$h" "$w" 1
    kill -TERM "$E2E_GAME_PID" 2>/dev/null || true
else
    echo "ltris      not installed: no peer measured (apt-get install ltris)" >>"$E2E_TMP/summary.txt"
fi
echo "load: $(uptime | sed 's/.*load average/load average/')"
cat "$E2E_TMP/summary.txt"
