#!/usr/bin/env bash
# The ranking view through the real window, with a rank file the test
# writes: Down and Z on the title open it, and the window shows exactly the
# ranking background with each place's letters and digits at their rows
# (composed here from the game's own pictures); Z returns to the title and
# Q exits 0.
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
e2e_init "${1:-}"
graphics="$(dirname "$E2E_EXE")/Graphics"
[ -f "$graphics/RankBG.bmp" ] || fail "no generated pictures beside the game in $(dirname "$E2E_EXE")"

# Five places, one of them a hand-edited line with a leading zero and a
# lower-case name, as the game reads any file.
mkdir -p "$E2E_TMP/Data"
printf 'abc\r\n9876543\r\nzed\r\n4500\r\nQRS\r\n0300\r\nmno\r\n20\r\nxyz\r\n7\r\n' > "$E2E_TMP/Data/Rank.ds"
python3 "$here/screen.py" ranking "$graphics" "$E2E_TMP/Data/Rank.ds" "$E2E_TMP/expected.rgb"

start_display
start_game
wid="$(wait_for_window)"
focus "$wid"
title="$(pixel "$graphics/Title.bmp" 320 100)"
wait_for_colour "$wid" 320 100 "$title" 20

tap Down
tap z
wait_for_colour "$wid" 20 20 "$(pixel "$graphics/RankBG.bmp" 20 20)" 20
screenshot "$wid" "$E2E_TMP/ranking.png" || fail "no screenshot"
convert "$E2E_TMP/ranking.png" -depth 8 "rgb:$E2E_TMP/ranking.rgb"
diff="$(python3 "$here/screen.py" diff "$E2E_TMP/ranking.rgb" "$E2E_TMP/expected.rgb")"
[ "${diff%% *}" = 0 ] || fail "the ranking screen differs from the expected one in $diff pixels"
note "ranking view matches the composed rows pixel for pixel"

tap z
wait_for_colour "$wid" 320 100 "$title" 20
[ -z "$(cmp "$E2E_TMP/Data/Rank.ds" <(printf 'abc\r\n9876543\r\nzed\r\n4500\r\nQRS\r\n0300\r\nmno\r\n20\r\nxyz\r\n7\r\n') 2>&1)" ] \
    || fail "viewing the ranking changed the rank file"

quit_with_q 2
note "ok"
