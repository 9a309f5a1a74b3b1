#!/usr/bin/env bash
# The title music loops: every time the track runs to its end it starts
# again from its beginning, and holding Q still ends the game with code 0.
# The game runs from a temporary folder holding only a 0.3 s title track
# (the pictures are missing, which the game takes in its stride), on the
# silent dummy audio device, with the audio trace on stderr.
# Usage: music_loop.sh PATH_OF_TESSALOOM
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
command -v sox >/dev/null || fail "missing tool sox (see tools/deps.sh)"

game="$(copy_game)"
mkdir -p "$E2E_TMP/game/Sound/BGM"
sox -q -n -r 44100 -c 2 -b 16 "$E2E_TMP/game/Sound/BGM/Title.wav" synth 0.3 sine 440 vol 0.2 \
    || fail "sox could not write the test track"

start_display
started_ns="$(date +%s%N)"
export TESSALOOM_AUDIO_TRACE=1
start_game "$game"
unset TESSALOOM_AUDIO_TRACE
wid="$(wait_for_window)"

count() { grep -c -x "audio: $1 Title.wav" "$E2E_TMP/game.err" || true; }

# Start-up plays the track and the first frame restarts it: only a third
# play, after a natural end, shows the loop. Two ends make sure it goes on.
plays=0
ends=0
for _ in $(seq 1 25); do
    plays="$(count play)"
    ends="$(count end)"
    [ "$plays" -ge 3 ] && [ "$ends" -ge 2 ] && break
    kill -0 "$E2E_GAME_PID" 2>/dev/null || fail "the game ended while the music played"
    sleep 0.1
done
[ "$plays" -ge 3 ] || fail "$plays plays of Title.wav within 2.5 s, expected at least 3"
[ "$ends" -ge 2 ] || fail "$ends natural ends of Title.wav within 2.5 s, expected at least 2"
grep -q "no audio device" "$E2E_TMP/game.err" && fail "the dummy audio device did not start"

# A 0.3 s track ends at most about seven times in 2 s. Far more means the
# game's own restarts are taken for ends and the music restarts itself.
while [ $(( $(date +%s%N) - started_ns )) -lt 2000000000 ]; do sleep 0.05; done
plays="$(count play)"
ends="$(count end)"
[ "$ends" -le 8 ] || fail "$ends ends of a 0.3 s track within 2 s: restarts report themselves as ends"

# Every natural end is answered by a new play of the selected track.
last_end="$(grep -n -x "audio: end Title.wav" "$E2E_TMP/game.err" | head -n -1 | tail -n1 | cut -d: -f1 || true)"
if [ -n "$last_end" ]; then
    # grep reads a here-string, not a pipe: grep -q stopping early would
    # SIGPIPE tail and pipefail would report a false failure.
    grep -q -x "audio: play Title.wav" <<<"$(tail -n +"$last_end" "$E2E_TMP/game.err")" \
        || fail "a natural end of Title.wav was not followed by a new play"
fi

focus "$wid"
quit_with_q 3

note "title music played $plays times with $ends natural ends; Q held: exit code 0"
