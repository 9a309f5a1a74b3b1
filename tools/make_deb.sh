#!/usr/bin/env bash
# Builds the Debian package from the source tree: a Release build of the
# game and its pictures and sounds in build/deb (or BUILD_DIR), compiled
# with Debian's build flags (hardening), then `cpack -G DEB`. Runs lintian
# when it is installed and stops on its errors. Prints the package's path
# last. Safe to run again.
#
# Usage: tools/make_deb.sh [BUILD_DIR]    (default build/deb)
# A player's build: without the end-to-end tests' hooks, whatever BUILD_DIR
# held before.
set -euo pipefail
build="$(realpath -m "${1:-$(dirname "$0")/../build/deb}")"
cd "$(dirname "$0")/.."
. tools/deps.sh
# dpkg-shlibdeps (dpkg-dev) computes the dependencies; cpack reads the
# binaries' type with file.
# shellcheck disable=SC2086
ensure_packages $BUILD_PACKAGES dpkg-dev file

# All of Debian's hardening, immediate binding included.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSALOOM_TESTS=OFF -DTESSALOOM_TEST_HOOKS=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" -j"$(nproc)" --target tessaloom assets debian_docs
rm -f "$build"/tessaloom_*.deb
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$build" >/dev/null
debs=("$build"/tessaloom_*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "cpack made no package" >&2; exit 1; }
deb="${debs[0]}"

if command -v lintian >/dev/null; then
    lintian --info "$deb"
else
    echo "lintian is not installed: the package was not checked" >&2
fi
readlink -f "$deb"
