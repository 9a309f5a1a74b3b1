#!/usr/bin/env bash
# Special files in place of the game's files are missing files, never waited
# on or read without end: a FIFO as the rank file (the ranking view opens and
# Q still quits at once), and a FIFO as the title picture and title music, a
# link to /dev/zero as music and a 40 MiB sound file in a copied game (it
# starts, runs, and names the oversized sound once on stderr).
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_init "${1:-}"
assets="$(dirname "$E2E_EXE")"
[ -f "$assets/Graphics/RankBG.bmp" ] && [ -f "$assets/Sound/SE/Bottom.wav" ] \
    || fail "no generated pictures and sounds beside the game in $assets"
rank_bg="$(pixel "$assets/Graphics/RankBG.bmp" 20 20)"

# open_ranking WINDOW: Down and Z on the title menu, until the ranking
# background shows.
open_ranking() {
    focus "$1"
    tap Down
    tap z
    wait_for_colour "$1" 20 20 "$rank_bg" 10
}

start_display

# A FIFO as the rank file, nobody writing to it.
mkdir -p "$E2E_TMP/Data"
mkfifo "$E2E_TMP/Data/Rank.ds"
start_game
wid="$(wait_for_window)"
wait_for_colour "$wid" 320 100 "$(pixel "$assets/Graphics/Title.bmp" 320 100)" 10
open_ranking "$wid"
quit_with_q 2
[ -p "$E2E_TMP/Data/Rank.ds" ] || fail "the FIFO rank file was replaced"
note "FIFO rank file: ranking view shown, Q exited 0 within 2 s"

# Special and oversized files among the assets of a copied game.
game="$(copy_game)"
cp -r "$assets/Graphics" "$assets/Sound" "$E2E_TMP/game/"
rm "$E2E_TMP/game/Graphics/Title.bmp" "$E2E_TMP/game/Sound/BGM/Title.wav" \
   "$E2E_TMP/game/Sound/BGM/Over.wav" "$E2E_TMP/game/Sound/SE/Bottom.wav"
mkfifo "$E2E_TMP/game/Graphics/Title.bmp" "$E2E_TMP/game/Sound/BGM/Title.wav"
ln -s /dev/zero "$E2E_TMP/game/Sound/BGM/Over.wav"
truncate -s 40M "$E2E_TMP/game/Sound/SE/Bottom.wav"
start_game "$game"
wid="$(wait_for_window)"
open_ranking "$wid"
quit_with_q 2
skipped="$(grep -c 'skipping the sound file' "$E2E_TMP/game.err" || true)"
[ "$skipped" = 1 ] || fail "expected one line about a skipped sound file, got $skipped"
grep -q "skipping the sound file .*/Sound/SE/Bottom.wav: larger than" "$E2E_TMP/game.err" \
    || fail "the skipped sound file is not named"
note "FIFO picture and music, /dev/zero music, 40 MiB effect: started, ran, Q exited 0; one line names Bottom.wav"
note "ok"
