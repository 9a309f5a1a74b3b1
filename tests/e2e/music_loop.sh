#!/usr/bin/env bash
# The title music loops: every time the track runs to its end it starts
# again from its beginning, and holding Q still ends the game with code 0.
# The game runs from a temporary folder holding only a 0.3 s title track
# (the pictures are missing, which the game takes in its stride), on the
# silent dummy audio device, with the audio trace on stderr.
# Usage: music_loop.sh PATH_OF_TESSALOOM
set -euo pipefail

name="music_loop"
fail() {
    echo "FAIL [$name]: $*" >&2
    if [ -n "${tmp:-}" ] && [ -s "$tmp/game.err" ]; then
        echo "--- game stderr ---" >&2
        cat "$tmp/game.err" >&2
    fi
    exit 1
}

exe="${1:-}"
[ -n "$exe" ] || fail "usage: $0 PATH_OF_TESSALOOM"
[ -x "$exe" ] || fail "not an executable: $exe"
exe="$(cd "$(dirname "$exe")" && pwd)/$(basename "$exe")"

# Outer run: check the tools and go again under a private X server.
if [ -z "${TESSALOOM_MUSIC_LOOP_INNER:-}" ]; then
    for tool in xvfb-run xdotool sox; do
        command -v "$tool" >/dev/null || fail "missing tool $tool (see tools/deps.sh)"
    done
    export TESSALOOM_MUSIC_LOOP_INNER=1
    exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" "$exe"
fi

game_pid=""
tmp="$(mktemp -d "${TMPDIR:-/tmp}/tessaloom-music.XXXXXX")"
cleanup() {
    # SIGKILL: a message box would make the game ignore SIGTERM.
    if [ -n "$game_pid" ] && kill -0 "$game_pid" 2>/dev/null; then
        kill -KILL "$game_pid" 2>/dev/null || true
        wait "$game_pid" 2>/dev/null || true
    fi
    rm -rf "$tmp"
}
trap cleanup EXIT

cp "$exe" "$tmp/tessaloom"
mkdir -p "$tmp/Sound/BGM"
sox -q -n -r 44100 -c 2 -b 16 "$tmp/Sound/BGM/Title.wav" synth 0.3 sine 440 vol 0.2 \
    || fail "sox could not write the test track"

unset WAYLAND_DISPLAY SDL_VIDEODRIVER
started_ns="$(date +%s%N)"
(cd "$tmp" && SDL_AUDIODRIVER=dummy TESSALOOM_AUDIO_TRACE=1 exec ./tessaloom) \
    >"$tmp/game.out" 2>"$tmp/game.err" &
game_pid=$!

wid=""
for _ in $(seq 1 100); do
    wid="$(xdotool search --onlyvisible --name '^Tessaloom$' 2>/dev/null | head -n1 || true)"
    [ -n "$wid" ] && break
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before showing its window"
    sleep 0.1
done
[ -n "$wid" ] || fail "no window named Tessaloom within 10 s"

count() { grep -c -x "audio: $1 Title.wav" "$tmp/game.err" || true; }

# Start-up plays the track and the first frame restarts it: only a third
# play, after a natural end, shows the loop. Two ends make sure it goes on.
plays=0
ends=0
for _ in $(seq 1 25); do
    plays="$(count play)"
    ends="$(count end)"
    [ "$plays" -ge 3 ] && [ "$ends" -ge 2 ] && break
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended while the music played"
    sleep 0.1
done
[ "$plays" -ge 3 ] || fail "$plays plays of Title.wav within 2.5 s, expected at least 3"
[ "$ends" -ge 2 ] || fail "$ends natural ends of Title.wav within 2.5 s, expected at least 2"
grep -q "no audio device" "$tmp/game.err" && fail "the dummy audio device did not start"

# A 0.3 s track ends at most about seven times in 2 s. Far more means the
# game's own restarts are taken for ends and the music restarts itself.
while [ $(( $(date +%s%N) - started_ns )) -lt 2000000000 ]; do sleep 0.05; done
plays="$(count play)"
ends="$(count end)"
[ "$ends" -le 8 ] || fail "$ends ends of a 0.3 s track within 2 s: restarts report themselves as ends"

# Every natural end is answered by a new play of the selected track.
last_end="$(grep -n -x "audio: end Title.wav" "$tmp/game.err" | head -n -1 | tail -n1 | cut -d: -f1 || true)"
if [ -n "$last_end" ]; then
    # grep reads a here-string, not a pipe: grep -q stopping early would
    # SIGPIPE tail and pipefail would report a false failure.
    grep -q -x "audio: play Title.wav" <<<"$(tail -n +"$last_end" "$tmp/game.err")" \
        || fail "a natural end of Title.wav was not followed by a new play"
fi

xdotool windowfocus --sync "$wid" >/dev/null 2>&1 || xdotool windowfocus "$wid"
xdotool keydown q
code=""
for _ in $(seq 1 60); do
    if ! kill -0 "$game_pid" 2>/dev/null || ps -o stat= -p "$game_pid" 2>/dev/null | grep -q Z; then
        code=0
        wait "$game_pid" || code=$?
        game_pid=""
        break
    fi
    sleep 0.05
done
xdotool keyup q 2>/dev/null || true
[ -n "$code" ] || fail "the game still runs 3 s after Q was held"
[ "$code" -eq 0 ] || fail "exit code $code, expected 0"

echo "[$name] title music played $plays times with $ends natural ends; Q held: exit code 0"
