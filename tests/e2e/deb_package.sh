#!/usr/bin/env bash
# The Debian package as tools/make_deb.sh makes it (a player's build,
# without the test hooks, in a folder of the build under test): lintian
# finds no error in it, every file is root's with the usual modes, the
# version is the build's everywhere it is named, and apt-get installs it.
# The desktop entry's Exec line, run the way a player's desktop runs it (a
# PATH with /usr/games, a HOME of its own), starts the game in that HOME's
# data folder; a finished game's name lands in that HOME's rank file,
# nothing of the installed package changes, and Q exits 0. An ordinary
# user whose HOME cannot hold the data folder (read-only, missing, root's,
# /, a file, unset, relative) plays all the same: one line says the scores
# are not kept, and nothing is written anywhere; root likewise. The game
# never opens what TESSALOOM_TEST_GAMEPAD names. Purging the package then
# leaves nothing of it on the system, and the player's scores where they
# are.
# Installing a package and making a user need root: without it the test is
# skipped (exit 77, which CTest reports as skipped).
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
. "$here/lib_ranking.sh"
e2e_init "${1:-}"
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP [$E2E_NAME]: installing a Debian package and adding a user to play it need root"
    exit 77
fi
build="$(dirname "$E2E_EXE")"
for tool in cpack dpkg dpkg-deb dpkg-query apt-get dpkg-shlibdeps file lintian flock useradd userdel setpriv python3; do
    command -v "$tool" >/dev/null || fail "missing tool $tool (see tools/deps.sh)"
done
[ -f "$build/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $build"
export DEBIAN_FRONTEND=noninteractive
apt_get() { apt-get -y -o DPkg::Lock::Timeout=300 "$@"; }

# Other checkouts on this machine may run this test too: one at a time.
exec 9>/tmp/tessaloom-deb-package.lock
flock -w 300 9 || fail "another run of this test held the lock for 5 minutes"

# ---- The package ----
# Built where the build under test keeps its files, so a later run builds
# only what changed, with the same compiler launcher (ccache) if it has one.
pkgbuild="$build/deb-package"
launcher="$(sed -n 's/^CMAKE_CXX_COMPILER_LAUNCHER:[A-Z]*=//p' "$build/CMakeCache.txt" 2>/dev/null || true)"
if [ -n "$launcher" ] && [ ! -f "$pkgbuild/CMakeCache.txt" ]; then export CMAKE_CXX_COMPILER_LAUNCHER="$launcher"; fi
"$here/../../tools/make_deb.sh" "$pkgbuild" >"$E2E_TMP/make_deb.log" 2>&1 ||
    fail "tools/make_deb.sh failed (lintian's errors included): $(tail -n 40 "$E2E_TMP/make_deb.log")"
unset CMAKE_CXX_COMPILER_LAUNCHER
deb="$(tail -n 1 "$E2E_TMP/make_deb.log")"
[[ "$deb" == "$pkgbuild"/tessaloom_*.deb && -f "$deb" ]] || fail "tools/make_deb.sh named no package: $deb"
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$pkgbuild/CPackConfig.cmake")"
[ -n "$version" ] || fail "no CPACK_PACKAGE_VERSION in CPackConfig.cmake"
[ "$(basename "$deb")" = "tessaloom_${version}_$(dpkg --print-architecture).deb" ] ||
    fail "the package is named $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
depends="$(dpkg-deb -f "$deb" Depends)"
[[ "$depends" == *libsdl2-2.0-0* && "$depends" == *libc6* ]] ||
    fail "the dependencies do not name the game's libraries: $depends"

# tools/make_deb.sh stops on lintian's errors; its warnings are shown.
if grep -q '^W:' "$E2E_TMP/make_deb.log"; then
    note "lintian warnings: $(grep '^W:' "$E2E_TMP/make_deb.log")"
fi

# Owners and modes: root's, folders rwxr-xr-x, the launcher and the
# executable rwxr-xr-x, every other file rw-r--r--, links as links.
dpkg-deb --fsys-tarfile "$deb" | tar -tv --numeric-owner >"$E2E_TMP/contents"
awk '
    $2 != "0/0" { print "owner " $2 ": " $6; next }
    /^d/ && $1 != "drwxr-xr-x" { print "mode " $1 ": " $6; next }
    /^l/ { next }
    /^-/ && ($6 == "./usr/games/tessaloom" || $6 == "./usr/lib/games/tessaloom/tessaloom") {
        if ($1 != "-rwxr-xr-x") print "mode " $1 ": " $6
        next
    }
    /^-/ && $1 != "-rw-r--r--" { print "mode " $1 ": " $6; next }
    !/^[-dl]/ { print "type " $1 ": " $6 }
' "$E2E_TMP/contents" >"$E2E_TMP/modes.bad"
[ ! -s "$E2E_TMP/modes.bad" ] || fail "files with the wrong owner or mode: $(cat "$E2E_TMP/modes.bad")"

# Every path of the package, and those that are no folders.
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||' | grep -v '^/\?$' | sort >"$E2E_TMP/paths"
awk '!/^d/ { sub(/^\./, "", $6); print $6 }' "$E2E_TMP/contents" | sort >"$E2E_TMP/files"
app=net.tessaloom.tessaloom
for path in /usr/games/tessaloom /usr/lib/games/tessaloom/tessaloom \
    /usr/lib/games/tessaloom/Graphics /usr/lib/games/tessaloom/Sound \
    /usr/share/games/tessaloom/Graphics/Title.bmp /usr/share/games/tessaloom/Sound/BGM/Title.wav \
    /usr/share/games/tessaloom/Sound/SE/Decide.wav \
    /usr/share/applications/$app.desktop /usr/share/metainfo/$app.metainfo.xml \
    /usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$app.png \
    /usr/share/man/man6/tessaloom.6.gz /usr/share/doc/tessaloom/copyright \
    /usr/share/doc/tessaloom/changelog.gz; do
    grep -qxF "$path" "$E2E_TMP/paths" || fail "the package lacks $path"
done

# ---- Installing ----
# package_status: dpkg's word for tessaloom (installed, config-files...),
# empty or not-installed when it has none.
package_status() { dpkg-query -W -f='${db:Status-Status}' tessaloom 2>/dev/null || true; }
status="$(package_status)"
if [ -n "$status" ] && [ "$status" != not-installed ]; then
    note "purging the tessaloom package that was installed before"
    apt_get purge tessaloom >"$E2E_TMP/apt.log" 2>&1 || fail "apt-get purge failed: $(cat "$E2E_TMP/apt.log")"
fi
# What of the package's paths the system already had (/usr, /usr/games...).
while IFS= read -r path; do
    if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done <"$E2E_TMP/paths" >"$E2E_TMP/paths.before"

installed=0
made_user=0
pad_writer=""
deb_cleanup() {
    if [ -n "$pad_writer" ]; then kill "$pad_writer" 2>/dev/null || true; fi
    e2e_cleanup   # the game ends before its files go
    if [ "$installed" -eq 1 ]; then
        apt_get purge tessaloom >/dev/null 2>&1 || dpkg --purge tessaloom >/dev/null 2>&1 || true
    fi
    if [ "$made_user" -eq 1 ]; then userdel tessaloom-e2e-player >/dev/null 2>&1 || true; fi
}
trap deb_cleanup EXIT
installed=1
apt_get install "$deb" >"$E2E_TMP/apt.log" 2>&1 || fail "apt-get install failed: $(cat "$E2E_TMP/apt.log")"
[ "$(dpkg-query -W -f='${db:Status-Status} ${Version}' tessaloom)" = "installed $version" ] ||
    fail "tessaloom $version is not installed after apt-get install"
for named in "$(zcat /usr/share/man/man6/tessaloom.6.gz | sed -n 1p)" \
    "$(grep -o '<release version="[^"]*"' /usr/share/metainfo/$app.metainfo.xml)" \
    "$(zcat /usr/share/doc/tessaloom/changelog.gz | sed -n 1p)"; do
    [[ "$named" =~ [^0-9.]${version//./\\.}[^0-9.] ]] || fail "not version $version: $named"
done
dpkg -L tessaloom | grep -vx '/\.' | sort >"$E2E_TMP/listed"
diff "$E2E_TMP/paths" "$E2E_TMP/listed" >"$E2E_TMP/listed.diff" ||
    fail "dpkg -L differs from the package's contents: $(cat "$E2E_TMP/listed.diff")"

# snapshot FILE: the package's files and everything under its own
# folders (not the shared folders, which other packages may change).
snapshot() {
    { xargs -d '\n' stat -c '%n %s %a %Y' <"$E2E_TMP/files"
      find /usr/lib/games/tessaloom /usr/share/games/tessaloom /usr/share/doc/tessaloom \
          -printf '%p %s %m %T@\n'; } | sort >"$1"
}
snapshot "$E2E_TMP/usr.before"

# ---- Playing, as from the menu ----
desktop=/usr/share/applications/$app.desktop
# The field codes (%f, %U...) stand for files to open; the game takes none.
read -r -a command <<<"$(sed -n 's/^Exec=//p' "$desktop" | sed 's/ *%[fFuUdDnNickvm]//g')"
[ "${#command[@]}" -ge 1 ] || fail "the desktop entry has no Exec line"
# A player's PATH on Debian has /usr/games; this one has no /usr/local, so
# an earlier install from source cannot stand in for the package.
player_path=/usr/bin:/bin:/usr/games
[ "$(PATH=$player_path command -v "${command[0]}")" = /usr/games/tessaloom ] ||
    fail "the desktop entry's ${command[0]} is not /usr/games/tessaloom"
export HOME="$E2E_TMP/home"
unset XDG_DATA_HOME
mkdir -p "$HOME"
data="$HOME/.local/share/tessaloom"
rank="$data/Data/Rank.ds"

start_display
PATH=$player_path start_game "${command[@]}"
wid="$(wait_for_window)"
[ "$(readlink "/proc/$E2E_GAME_PID/exe")" = /usr/lib/games/tessaloom/tessaloom ] ||
    fail "the running game is $(readlink "/proc/$E2E_GAME_PID/exe")"
[ "$(readlink "/proc/$E2E_GAME_PID/cwd")" = "$data" ] || fail "the game does not run in $data"
focus "$wid"
# The title's colours come from the pictures read through the links.
play_into_ranking "$wid" /usr/share/games/tessaloom/Graphics "$rank"
quit_with_q 3

# ---- Playing without a home that can keep the scores ----
# An ordinary user of our own (removed again at the end, unless it was
# there before), and folders of the test it can reach.
player=tessaloom-e2e-player
if ! id -u "$player" >/dev/null 2>&1; then
    useradd --system --user-group --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
        "$player" || fail "useradd $player failed"
    made_user=1
fi
chmod 755 "$E2E_TMP"
homes="$E2E_TMP/homes"
mkdir -m 755 "$homes" "$homes/root-owned" "$homes/root-cwd"
install -d -m 555 -o "$player" "$homes/read-only"
install -d -m 755 -o "$player" "$homes/cwd"
echo "not a folder" | tee "$homes/root-file" >"$homes/file"
chown "$player" "$homes/file"
fifo="$homes/pad.fifo"
graphics=/usr/share/games/tessaloom/Graphics
title_colour="$(pixel "$graphics/Title.bmp" 600 20)"
ranking_colour="$(pixel "$graphics/RankBG.bmp" 600 20)"
[ "$title_colour" != "$ranking_colour" ] || fail "the title and the ranking view share the colour $title_colour"
# Where a launcher or game that took / for a home, or its working folder,
# would write.
strays=(/Data /.local/share/tessaloom /.config/tessaloom /proc/Data)
for path in "${strays[@]}"; do
    [ ! -e "$path" ] || fail "$path is there before the test: remove it"
done

# A writer blocked on opening the FIFO gets in the moment anything opens
# it for reading, even for an instant, and would then press A.
start_pad_writer() {
    rm -f "$fifo" "$E2E_TMP/pad.opened"
    mkfifo -m 600 "$fifo"
    chown "$player" "$fifo"
    (exec 3>"$fifo" && touch "$E2E_TMP/pad.opened" && printf 'attach\na down\n' >&3) &
    pad_writer=$!
}
# no_reader: whether a writer's non-blocking open of the FIFO fails with
# ENXIO, which means nothing holds it open for reading.
no_reader() {
    python3 - "$fifo" <<'PY'
import errno, os, sys
try:
    os.close(os.open(sys.argv[1], os.O_WRONLY | os.O_NONBLOCK))
except OSError as e:
    sys.exit(0 if e.errno == errno.ENXIO else 1)
sys.exit(1)
PY
}

# homeless_run WHO HOME|- CWD: the installed command as WHO (root or the
# player) with that HOME (- for none), started from CWD, with no
# XDG_DATA_HOME or XDG_CONFIG_HOME and TESSALOOM_TEST_GAMEPAD naming the
# FIFO. The game reaches the title, mutes and unmutes (two settings
# changes), opens the ranking view and returns, and quits with Q; one line
# says the scores are not kept, at most one that the settings were not
# saved, and nothing else. Nothing under the HOMEs and working folders or
# at the stray paths changes, the game runs in /proc, and it never opened
# the FIFO.
homeless_run() {
    local who="$1" home="$2" cwd="$3" label
    local run=(env -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u HOME)
    label="$who, HOME unset"
    if [ "$home" != - ]; then run+=(HOME="$home"); label="$who, HOME=$home"; fi
    run+=(PATH="$player_path" TESSALOOM_TEST_GAMEPAD="$fifo" tessaloom)
    [ "$who" = root ] || run=(setpriv --reuid="$(id -u "$player")" --regid="$(id -g "$player")" --clear-groups -- "${run[@]}")
    start_pad_writer
    find "$homes" -path "$fifo" -prune -o -printf '%p %y %m %U %s %T@\n' | sort >"$E2E_TMP/tree.before"
    (cd "$cwd" && exec "${run[@]}") >"$E2E_TMP/game.out" 2>"$E2E_TMP/game.err" &
    E2E_GAME_PID=$!
    local wid
    wid="$(wait_for_window)"
    [ "$(readlink "/proc/$E2E_GAME_PID/cwd")" = /proc ] ||
        fail "$label: the game runs in $(readlink "/proc/$E2E_GAME_PID/cwd"), not /proc"
    focus "$wid"
    wait_for_colour "$wid" 600 20 "$title_colour" 20
    tap m
    tap m
    tap Down
    tap z
    wait_for_colour "$wid" 600 20 "$ranking_colour" 10
    tap z
    wait_for_colour "$wid" 600 20 "$title_colour" 10
    no_reader || fail "$label: something holds TESSALOOM_TEST_GAMEPAD's FIFO open for reading"
    quit_with_q 3
    [ ! -e "$E2E_TMP/pad.opened" ] || fail "$label: the game opened TESSALOOM_TEST_GAMEPAD (a test hook in the package)"
    kill "$pad_writer" 2>/dev/null || true
    wait "$pad_writer" 2>/dev/null || true

    local said
    said="$(grep -c 'the scores are not kept$' "$E2E_TMP/game.err" || true)"
    [ "$said" -eq 1 ] || fail "$label: $said lines saying the scores are not kept, expected 1"
    said="$(grep -c 'could not save the settings' "$E2E_TMP/game.err" || true)"
    [ "$said" -le 1 ] || fail "$label: $said lines about the settings, expected at most 1"
    ! grep -v 'the scores are not kept$\|could not save the settings' "$E2E_TMP/game.err" >"$E2E_TMP/game.other" ||
        fail "$label: other lines on stderr: $(cat "$E2E_TMP/game.other")"
    find "$homes" -path "$fifo" -prune -o -printf '%p %y %m %U %s %T@\n' | sort >"$E2E_TMP/tree.after"
    diff "$E2E_TMP/tree.before" "$E2E_TMP/tree.after" >"$E2E_TMP/tree.diff" ||
        fail "$label: the test's folders changed: $(cat "$E2E_TMP/tree.diff")"
    for path in "${strays[@]}"; do
        [ ! -e "$path" ] || fail "$label: the game or its launcher made $path"
    done
    note "$label: played; stderr: $(paste -s -d '|' "$E2E_TMP/game.err")"
}
for home in "$homes/read-only" "$homes/missing" "$homes/root-owned" / "$homes/file" - home; do
    homeless_run "$player" "$home" "$homes/cwd"
done
for home in - "$homes/root-file"; do
    homeless_run root "$home" "$homes/root-cwd"
done
[ "$(cat "$homes/file")" = "not a folder" ] || fail "the file given as HOME changed"
if [ "$made_user" -eq 1 ]; then
    userdel "$player" || fail "userdel $player failed"
    made_user=0
fi

snapshot "$E2E_TMP/usr.after"
diff "$E2E_TMP/usr.before" "$E2E_TMP/usr.after" >"$E2E_TMP/usr.diff" ||
    fail "the game changed the installed files: $(cat "$E2E_TMP/usr.diff")"

# ---- Purging ----
apt_get purge tessaloom >"$E2E_TMP/apt.log" 2>&1 || fail "apt-get purge failed: $(cat "$E2E_TMP/apt.log")"
installed=0
status="$(package_status)"
[ -z "$status" ] || [ "$status" = not-installed ] || fail "after the purge dpkg says tessaloom is $status"
while IFS= read -r path; do
    if grep -qxF "$path" "$E2E_TMP/paths.before"; then
        [ -e "$path" ] || fail "the purge removed $path, which was there before"
    elif [ -e "$path" ] || [ -L "$path" ]; then
        fail "left after the purge: $path"
    fi
done <"$E2E_TMP/listed"
[ -f "$rank" ] || fail "the purge removed the player's rank file"
note "tessaloom $version ($(du -k "$deb" | cut -f1) KiB) installed; aaa scored $E2E_SCORE in $data; purged without a trace"
