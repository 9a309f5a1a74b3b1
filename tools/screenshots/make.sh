#!/usr/bin/env bash
# Remakes the README's screenshots under docs/ from the real game:
#   tools/screenshots/make.sh [build folder]   (default build/screenshots)
# or, with --compose first, composes screens from the generated pictures
# alone into <build folder>/composed_screens (BMP), for checking by eye.
# Needs cmake, a compiler and imagemagick's convert.
set -euo pipefail
cd "$(dirname "$0")/../.."
compose=0
if [ "${1:-}" = "--compose" ]; then
    compose=1
    shift
fi
build="${1:-build/screenshots}"
# An existing build folder keeps its options.
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DTESSALOOM_GAME=OFF -DTESSALOOM_TESTS=OFF >/dev/null
if [ "$compose" = 1 ]; then
    cmake --build "$build" --target composed_screens -j2
    ls -l "$build"/composed_screens/*.bmp
    exit 0
fi
cmake --build "$build" --target screenshots -j2
mkdir -p docs
for name in title options chain game_over name_entry ranking; do
    # A 256-colour palette keeps each picture at a few tens of KB; the
    # screens have few colours beyond the background gradients.
    convert "$build/screenshots/$name.ppm" -dither None -colors 256 -strip \
        -define png:compression-level=9 "docs/$name.png"
done
ls -l docs/*.png
