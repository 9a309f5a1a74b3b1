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
export TESSALOOM_AUDIO_TRACE=1
start_game "$game"
unset TESSALOOM_AUDIO_TRACE
wid="$(wait_for_window)"

# read_trace: sets ANSWERED to the number of natural ends of Title.wav in
# the trace that a new play of it answers (the trace writes an end just
# before the play that answers it); fails when anything else follows one.
trace="$E2E_TMP/game.err"
ANSWERED=0
read_trace() {
    ! grep -q "no audio device" "$trace" || fail "the dummy audio device did not start"
    local out
    out="$(awk '
        ended && $0 != "audio: play Title.wav" { bad = 1; print "line " NR ": " $0; exit }
        ended { answered++ }
        { ended = ($0 == "audio: end Title.wav") }
        END { if (!bad) print answered + 0 }' "$trace")"
    [[ "$out" =~ ^[0-9]+$ ]] || fail "a natural end of Title.wav was not followed by a new play: $out"
    ANSWERED="$out"
}

# answered_ends N: whether at least N natural ends have been answered.
answered_ends() {
    read_trace
    E2E_SEEN="$ANSWERED answered ends"
    [ "$ANSWERED" -ge "$1" ]
}

# Start-up plays the track and the first frame restarts it: only a play
# after a natural end shows the loop.
wait_until 20 "natural end of Title.wav answered by a new play" answered_ends 1

# Four more ends show that it goes on, and bound how fast ends may come.
# Were the game's own restarts taken for ends, each restart would answer
# the one before, an end every frame. A natural end needs the 0.3 s track
# to play through after the play before it, and the dummy device plays in
# real time at most, so K answered ends seen within T ms of the clock are
# at most T / 300 + 1; the bound allows T / 250 + 1.
t0="$(now_ms)"
read_trace
first="$ANSWERED"
wait_until 20 "four more natural ends of Title.wav, each answered by a new play" answered_ends $((first + 4))
read_trace
t1="$(now_ms)"
ends=$((ANSWERED - first))
[ $((ends * 250)) -le $((t1 - t0 + 250)) ] ||
    fail "$ends ends of a 0.3 s track within $((t1 - t0)) ms: restarts report themselves as ends"

focus "$wid"
quit_with_q 3

note "title music looped: $ANSWERED natural ends, each answered by a new play, $ends of them in $((t1 - t0)) ms; Q held: exit code 0"
