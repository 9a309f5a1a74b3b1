# Sourced by play.sh and test.sh: makes sure the Debian packages are there.
# As root it installs what is missing; otherwise it prints the exact
# apt-get line and stops.

BUILD_PACKAGES="cmake g++ make pkg-config libsdl2-dev libx11-dev"
# The browser version (tools/web/build.sh, ./play.sh --web), and the
# headless browser its end-to-end tests in ./test.sh drive.
WEB_PACKAGES="emscripten node-acorn python3"
WEB_TEST_PACKAGES="chromium"
TEST_PACKAGES="libgtest-dev libgmock-dev libbenchmark-dev libxtst-dev xvfb xdotool x11-utils x11-xkb-utils openbox wmctrl imagemagick sox clang libclang-rt-14-dev desktop-file-utils appstream python3 dpkg-dev file lintian"

# Prints the packages of the arguments that are not installed, each after
# a space.
missing_packages() {
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            printf ' %s' "$pkg"
        fi
    done
}

ensure_packages() {
    local missing
    missing="$(missing_packages "$@")"
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -eq 0 ]; then
        echo "Installing:$missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq || return 1
        # shellcheck disable=SC2086
        apt-get install -y -qq $missing || return 1
    else
        echo "Missing packages. Run this, then try again:"
        echo "  sudo apt-get install -y$missing"
        exit 1
    fi
}
