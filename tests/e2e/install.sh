#!/usr/bin/env bash
# Installing into a prefix puts the game where Linux games live, with a
# valid desktop entry, metadata, icons and man page; the installed launcher
# starts the game in the player's own data folder, a finished game's name
# lands in that folder's rank file, nothing is written into the installed
# tree, and Q still exits with code 0.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
build="$(dirname "$E2E_EXE")"
for tool in cmake desktop-file-validate appstreamcli identify convert; do
    command -v "$tool" >/dev/null || fail "missing tool $tool (see tools/deps.sh)"
done

app=net.tessaloom.tessaloom
prefix="$E2E_TMP/prefix"
cmake --install "$build" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1 ||
    fail "cmake --install failed: $(cat "$E2E_TMP/install.log")"

# ---- The installed files ----
lib="$prefix/lib/tessaloom"
[ -x "$prefix/bin/tessaloom" ] || fail "no launcher bin/tessaloom"
[ -x "$lib/tessaloom" ] || fail "no executable lib/tessaloom/tessaloom"
for f in PuzzleBlock Title RankBG GameBG Vals String GameOver GameStart ScoreCursol; do
    [ -s "$lib/Graphics/$f.bmp" ] || fail "missing Graphics/$f.bmp"
done
for f in Title Play Over; do
    [ -s "$lib/Sound/BGM/$f.wav" ] || fail "missing Sound/BGM/$f.wav"
done
for f in Decide Select GameOver Turn Move Bottom Chain1 Chain2 Chain3 Chain4 Chain5 GameStart; do
    [ -s "$lib/Sound/SE/$f.wav" ] || fail "missing Sound/SE/$f.wav"
done

desktop="$prefix/share/applications/$app.desktop"
metainfo="$prefix/share/metainfo/$app.metainfo.xml"
man="$prefix/share/man/man6/tessaloom.6"
[ -s "$desktop" ] || fail "no desktop entry"
[ -s "$metainfo" ] || fail "no metainfo"
[ -s "$man" ] || fail "no man page"
desktop-file-validate "$desktop" >"$E2E_TMP/validate.log" 2>&1 ||
    fail "desktop-file-validate: $(cat "$E2E_TMP/validate.log")"
[ ! -s "$E2E_TMP/validate.log" ] || fail "desktop-file-validate hints: $(cat "$E2E_TMP/validate.log")"
appstreamcli validate --no-net "$metainfo" >"$E2E_TMP/validate.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$E2E_TMP/validate.log")"
grep -q '^Categories=\(.*;\)\?Game;' "$desktop" || fail "the desktop entry is not in the Game category"
grep -qx "Icon=$app" "$desktop" || fail "the desktop entry names another icon"
grep -qx "Exec=tessaloom" "$desktop" || fail "the desktop entry does not start the launcher"
for n in 16 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${n}x$n/apps/$app.png"
    [ -s "$icon" ] || fail "no ${n}x$n icon"
    got="$(identify -format '%m %wx%h %[channels]' "$icon" 2>&1)" || fail "unreadable ${n}x$n icon: $got"
    [ "$got" = "PNG ${n}x$n srgba" ] || fail "${n}x$n icon reads as '$got'"
done
grep -q 'Data/Rank\.ds' "$man" || fail "the man page does not name the rank file"
find "$prefix" -printf '%P %s %m\n' | sort >"$E2E_TMP/tree.before"

# ---- The launcher's data folder ----
# Without a display the game ends at once with code 1, after the launcher
# has made the folder: $XDG_DATA_HOME/tessaloom when that is an absolute
# path, else the default under HOME.
code=0
(unset DISPLAY; HOME="$E2E_TMP/h1" XDG_DATA_HOME="$E2E_TMP/xdg" "$prefix/bin/tessaloom") 2>/dev/null || code=$?
[ "$code" -eq 1 ] || fail "without a display the launcher gave $code, expected 1"
[ -d "$E2E_TMP/xdg/tessaloom" ] || fail "XDG_DATA_HOME/tessaloom was not made"
[ ! -e "$E2E_TMP/h1" ] || fail "HOME was used although XDG_DATA_HOME is set"
(unset DISPLAY; cd "$E2E_TMP" && HOME="$E2E_TMP/h2" XDG_DATA_HOME=rel "$prefix/bin/tessaloom") 2>/dev/null || true
[ -d "$E2E_TMP/h2/.local/share/tessaloom" ] || fail "a relative XDG_DATA_HOME was not ignored"
[ ! -e "$E2E_TMP/rel" ] || fail "a relative XDG_DATA_HOME was used"

# ---- The installed launcher, for a player without XDG_DATA_HOME ----
export HOME="$E2E_TMP/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
data="$HOME/.local/share/tessaloom"
rank="$data/Data/Rank.ds"

start_display
start_game "$prefix/bin/tessaloom"
wid="$(wait_for_window)"
[ -d "$data" ] || fail "the launcher did not create $data"
[ "$(readlink "/proc/$E2E_GAME_PID/cwd")" = "$data" ] || fail "the game does not run in $data"
wmclass="$(sed -n 's/^StartupWMClass=//p' "$desktop")"
grep -q "\"$wmclass\"" <<<"$(xprop -id "$wid" WM_CLASS)" ||
    fail "the window's class is not the desktop entry's StartupWMClass '$wmclass'"
focus "$wid"

title="$(pixel "$lib/Graphics/Title.bmp" 600 20)"
cursor="$(pixel "$lib/Graphics/ScoreCursol.bmp" 12 2)"
border="$(pixel "$lib/Graphics/GameOver.bmp" 128 25)"   # the banner's top border
playbg="$(pixel "$lib/Graphics/GameBG.bmp" 20 470)"     # beside the well, left of NEXT
wait_for_colour "$wid" 600 20 "$title" 20

# Plays until the name entry opens. A game that ends without a clear scores
# 0, which never enters the ranking: then Z goes back to the title and
# another game starts.
# With Left and Down held the pairs pile up from the left wall until the
# stack reaches the cell where pairs appear: some forty blocks, so a clear
# and a score above 0 are all but certain. Once the score shows points,
# Left is let go and the pairs drop straight onto the spawn column, which
# soon ends the game.
games=0
left_held=0
zero_score=""
start_one_game() {
    games=$((games + 1))
    tap z
    # The play screen shows the score 0 from the banner's first step on.
    wait_for_colour "$wid" 20 470 "$playbg" 20
    screenshot "$wid" "$E2E_TMP/zero.png" || fail "no screenshot of the play screen"
    zero_score="$(tens_digit "$E2E_TMP/zero.png")"
    xdotool keydown Left keydown Down
    left_held=1
}

# tens_digit SHOT: the pixels of the score's tens digit, blank at 0 and
# drawn once a clear has scored (a clear scores at least 30). The game-over
# banner never covers it.
tens_digit() { convert "$1" -crop 30x34+570+85 -depth 8 txt:- | md5sum; }

# banner_seen SHOT: whether the game-over banner shows anywhere on its way
# down: its top border crosses the field at x 250 and at x 390 in one row.
banner_seen() {
    convert "$1" -crop 141x81+250+25 -depth 8 txt:- 2>/dev/null | awk -v want="$border" '
        /^[0-9]/ {
            split($1, xy, /[,:]/)
            if ((xy[1] == 0 || xy[1] == 140) && toupper($3) == want) hits[xy[2]]++
        }
        END { for (y in hits) if (hits[y] == 2) found = 1; exit !found }'
}

# name_entry_reached: one look at the game, acting on what it shows; true
# once the name entry shows its cursor.
name_entry_reached() {
    local shot="$E2E_TMP/shot.png" points=no
    screenshot "$wid" "$shot" || return 1
    [ "$(tens_digit "$shot")" = "$zero_score" ] || points=yes
    E2E_SEEN="game $games, points: $points"
    if ! banner_seen "$shot"; then
        if [ "$points" = yes ] && [ "$left_held" = 1 ]; then
            xdotool keyup Left
            left_held=0
        fi
        return 1
    fi
    # Game over: let go before the name entry reads the keys.
    xdotool keyup Down keyup Left
    left_held=0
    if [ "$(pixel "$shot" 263 292)" = "$cursor" ]; then
        note "name entry after game $games"
        return 0
    fi
    # The banner has arrived without points: this game cannot enter the
    # ranking. A game with points waits for its name entry.
    [ "$(pixel "$shot" 320 105)" = "$border" ] && [ "$points" = no ] || return 1
    note "game $games ended with 0 points; again"
    [ "$games" -lt 8 ] || fail "no points in $games games"
    tap z
    wait_for_colour "$wid" 600 20 "$title" 20
    start_one_game
    return 1
}

start_one_game
wait_until 150 "name entry after a game with points" name_entry_reached

tap z   # keeps the name "aaa"
wait_for_colour "$wid" 600 20 "$title" 20
[ -f "$rank" ] || fail "no rank file in $data/Data"
name="$(head -n1 "$rank" | tr -d '\r')"
score="$(sed -n 2p "$rank" | tr -d '\r')"
[ "$name" = aaa ] || fail "place 1 is '$name', expected aaa"
[[ "$score" =~ ^[1-9][0-9]*$ ]] || fail "place 1 scored '$score'"

quit_with_q 3
find "$prefix" -printf '%P %s %m\n' | sort >"$E2E_TMP/tree.after"
diff "$E2E_TMP/tree.before" "$E2E_TMP/tree.after" >"$E2E_TMP/tree.diff" ||
    fail "the game changed the installed tree: $(cat "$E2E_TMP/tree.diff")"
note "installed files valid; launcher ran in the data folder; aaa scored $score; Q exits 0"
