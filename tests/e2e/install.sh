#!/usr/bin/env bash
# Installing into a prefix puts the game where Linux games live, with a
# valid desktop entry, metadata, icons and man page; the installed launcher
# starts the game in the player's own data folder (or, with a HOME that
# cannot hold one, says the scores are not kept and starts it all the
# same), a finished game's name lands in that folder's rank file, nothing
# is written into the installed tree, and Q still exits with code 0. tools/uninstall.sh then removes
# every installed file and the folders the install made, and nothing else.
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
. "$here/lib_ranking.sh"
e2e_init "${1:-}"
build="$(dirname "$E2E_EXE")"
for tool in cmake desktop-file-validate appstreamcli identify convert; do
    command -v "$tool" >/dev/null || fail "missing tool $tool (see tools/deps.sh)"
done

app=net.tessaloom.tessaloom
prefix="$E2E_TMP/prefix"
# A folder the install shares with what was there before: it must stay.
mkdir -p "$prefix/bin"
echo "not the game's" >"$prefix/bin/sentinel"
cmake --install "$build" --prefix "$prefix" >"$E2E_TMP/install.log" 2>&1 ||
    fail "cmake --install failed: $(cat "$E2E_TMP/install.log")"

# ---- The installed files ----
lib="$prefix/lib/tessaloom"
[ -x "$prefix/bin/tessaloom" ] || fail "no launcher bin/tessaloom"
[ -x "$lib/tessaloom" ] || fail "no executable lib/tessaloom/tessaloom"
for f in PuzzleBlock Title RankBG GameBG Vals String GameOver GameStart ScoreCursol Paused; do
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
! grep -l '@[A-Z_]*@' "$prefix/bin/tessaloom" "$man" "$metainfo" >"$E2E_TMP/unfilled" ||
    fail "build variables left unfilled in: $(cat "$E2E_TMP/unfilled")"
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
# A HOME that cannot hold the folder (none, relative, a file) still starts
# the game, after one line saying the scores are not kept, and nothing
# lands under the folder it was started from.
mkdir "$E2E_TMP/cwd"
echo "not a folder" >"$E2E_TMP/file-home"
for home in - rel "$E2E_TMP/file-home"; do
    code=0
    (unset DISPLAY XDG_DATA_HOME HOME
     if [ "$home" != - ]; then export HOME="$home"; fi
     cd "$E2E_TMP/cwd" && exec "$prefix/bin/tessaloom") 2>"$E2E_TMP/launch.err" || code=$?
    [ "$code" -eq 1 ] && grep -q '^tessaloom: no display' "$E2E_TMP/launch.err" ||
        fail "HOME $home: the game did not start (exit code $code): $(cat "$E2E_TMP/launch.err")"
    [ "$(grep -c 'the scores are not kept$' "$E2E_TMP/launch.err" || true)" -eq 1 ] ||
        fail "HOME $home: no one line saying the scores are not kept: $(cat "$E2E_TMP/launch.err")"
    [ -z "$(ls -A "$E2E_TMP/cwd")" ] || fail "HOME $home: the launcher wrote into the folder it was started from"
done

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

play_into_ranking "$wid" "$lib/Graphics" "$rank"
score="$E2E_SCORE"

quit_with_q 3
find "$prefix" -printf '%P %s %m\n' | sort >"$E2E_TMP/tree.after"
diff "$E2E_TMP/tree.before" "$E2E_TMP/tree.after" >"$E2E_TMP/tree.diff" ||
    fail "the game changed the installed tree: $(cat "$E2E_TMP/tree.diff")"

# ---- The uninstall ----
"$here/../../tools/uninstall.sh" "$build" >"$E2E_TMP/uninstall.log" 2>&1 ||
    fail "tools/uninstall.sh failed: $(cat "$E2E_TMP/uninstall.log")"
left="$(cd "$prefix" && find . -mindepth 1 | sort | tr '\n' ' ')"
[ "$left" = "./bin ./bin/sentinel " ] || fail "after the uninstall the prefix still holds: $left"
[ "$(cat "$prefix/bin/sentinel")" = "not the game's" ] || fail "the uninstall changed bin/sentinel"
[ -f "$rank" ] || fail "the uninstall removed the player's rank file"
note "installed files valid; launcher ran in the data folder; aaa scored $score; Q exits 0; uninstall left only bin/sentinel"
