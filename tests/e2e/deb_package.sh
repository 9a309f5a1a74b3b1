#!/usr/bin/env bash
# The Debian package, made by cpack from the build folder under test:
# lintian finds no error in it, every file is root's with the usual modes,
# the version is the build's everywhere it is named, and apt-get installs
# it. The desktop entry's Exec line, run the way a player's desktop runs
# it (a PATH with /usr/games, a HOME of its own), starts the game in that
# HOME's data folder; a finished game's name lands in that HOME's rank
# file, nothing of the installed package changes, and Q exits 0. Purging
# the package then leaves nothing of it on the system, and the player's
# scores where they are.
# Installing a package needs root: without it the test is skipped (exit
# 77, which CTest reports as skipped).
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/lib.sh"
. "$here/lib_ranking.sh"
e2e_init "${1:-}"
if [ "$(id -u)" -ne 0 ]; then
    echo "SKIP [$E2E_NAME]: installing a Debian package needs root"
    exit 77
fi
build="$(dirname "$E2E_EXE")"
for tool in cpack dpkg dpkg-deb dpkg-query apt-get dpkg-shlibdeps file lintian flock; do
    command -v "$tool" >/dev/null || fail "missing tool $tool (see tools/deps.sh)"
done
[ -f "$build/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $build"
export DEBIAN_FRONTEND=noninteractive
apt_get() { apt-get -y -o DPkg::Lock::Timeout=300 "$@"; }

# Other checkouts on this machine may run this test too: one at a time.
exec 9>/tmp/tessaloom-deb-package.lock
flock -w 300 9 || fail "another run of this test held the lock for 5 minutes"

# ---- The package ----
pkg="$E2E_TMP/pkg"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$pkg" >"$E2E_TMP/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$E2E_TMP/cpack.log")"
debs=("$pkg"/tessaloom_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no single tessaloom_*.deb: ${debs[*]}"
deb="${debs[0]}"
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
[ -n "$version" ] || fail "no CPACK_PACKAGE_VERSION in CPackConfig.cmake"
[ "$(basename "$deb")" = "tessaloom_${version}_$(dpkg --print-architecture).deb" ] ||
    fail "the package is named $(basename "$deb")"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
depends="$(dpkg-deb -f "$deb" Depends)"
[[ "$depends" == *libsdl2-2.0-0* && "$depends" == *libc6* ]] ||
    fail "the dependencies do not name the game's libraries: $depends"

lintian --fail-on error "$deb" >"$E2E_TMP/lintian.log" 2>&1 ||
    fail "lintian: $(cat "$E2E_TMP/lintian.log")"
if grep -q '^W:' "$E2E_TMP/lintian.log"; then
    note "lintian warnings: $(grep '^W:' "$E2E_TMP/lintian.log")"
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
deb_cleanup() {
    e2e_cleanup   # the game ends before its files go
    if [ "$installed" -eq 1 ]; then
        apt_get purge tessaloom >/dev/null 2>&1 || dpkg --purge tessaloom >/dev/null 2>&1 || true
    fi
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
