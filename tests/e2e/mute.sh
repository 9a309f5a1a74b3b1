#!/usr/bin/env bash
# M silences the mixed output and M again brings it back. SDL's disk
# audio driver writes what the mixer plays (16-bit stereo at 44.1 kHz) to a
# file in real time; the loudness of its last half second tells what plays.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
[ -f "$(dirname "$E2E_EXE")/Sound/BGM/Title.wav" ] || fail "no generated sounds beside the game"
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILE="$E2E_TMP/mixed.raw"
file="$XDG_CONFIG_HOME/tessaloom/settings.ini"

# peak: the largest sample magnitude in the last half second written.
peak() {
    python3 - "$SDL_DISKAUDIOFILE" <<'PY'
import os, struct, sys
path = sys.argv[1]
size = os.path.getsize(path) if os.path.exists(path) else 0
span = 44100 * 4 // 2
if size < span:
    print(-1)
    sys.exit()
with open(path, "rb") as f:
    f.seek((size - span) // 4 * 4)
    data = f.read(span)
samples = struct.unpack("<%dh" % (len(data) // 2), data[: len(data) // 2 * 2])
print(max(abs(s) for s in samples))
PY
}
# loud / silent: whether the last half second plays music / nothing.
loud() { E2E_SEEN="peak $(peak)"; [ "${E2E_SEEN#peak }" -gt 1000 ]; }
silent() { E2E_SEEN="peak $(peak)"; [ "${E2E_SEEN#peak }" -ge 0 ] && [ "${E2E_SEEN#peak }" -lt 30 ]; }

start_display
start_game
wid="$(wait_for_window)"
grep -q "no audio device" "$E2E_TMP/game.err" && fail "the disk audio device did not start"
focus "$wid"
wait_for_title "$wid"
wait_until 20 "the title music in the mixed output" loud

# The file is written off the frame thread, a moment after the sound changes.
file_says() {
    E2E_SEEN="$(tr '\n' ' ' <"$file" 2>/dev/null || echo "no file")"
    grep -qx "$1" "$file" 2>/dev/null
}

# notice WHICH: whether the top right corner shows SOUND OFF, SOUND ON, or
# (none) the title picture.
graphics="$(dirname "$E2E_EXE")/Graphics"
notice() {
    screenshot "$wid" "$E2E_TMP/notice.rgb" || return 1
    read -r off on title <<<"$(python3 "$(dirname "$0")/screen.py" notice "$E2E_TMP/notice.rgb" "$graphics")"
    E2E_SEEN="pixels unlike SOUND OFF $off, SOUND ON $on, the title $title"
    case "$1" in
    off) [ "$off" = 0 ] ;;
    on) [ "$on" = 0 ] ;;
    none) [ "$title" = 0 ] ;;
    esac
}

# The notice shows for 1.5 s of the game's clock: looked for first.
tap m
wait_until 5 "SOUND OFF on the title after M" notice off
wait_until 10 "silence in the mixed output after M" silent
wait_until 10 "mute = on in the settings file" file_says "mute = on"
wait_until 10 "the notice gone after its time" notice none

focus "$wid"
tap m
wait_until 5 "SOUND ON on the title after M again" notice on
wait_until 10 "the music back in the mixed output after M again" loud
wait_until 10 "mute = off in the settings file" file_says "mute = off"

quit_with_q 3
note "M: the mixed output falls silent and SOUND OFF shows a moment; M again: the music is back, SOUND ON; each kept in the settings file"
