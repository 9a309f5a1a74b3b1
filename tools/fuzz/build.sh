#!/bin/sh
# Builds the libFuzzer targets into build/fuzz/ under the repository:
#   tools/fuzz/build.sh            both targets
#   tools/fuzz/build.sh bmp        one of them (bmp or rank)
# Needs clang++ with the fuzzer runtime (Debian: clang, libclang-rt-14-dev).
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
out="$root/build/fuzz"
mkdir -p "$out"
cxx=${CXX_FUZZ:-clang++}
flags="-std=c++17 -g -O1 -Wall -Wextra -fno-omit-frame-pointer \
 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I$root"

build() {
    target=$1
    shift
    echo "building $out/fuzz_$target"
    # Link beside and rename, so a fuzzer still running keeps its binary.
    # shellcheck disable=SC2086
    "$cxx" $flags -o "$out/fuzz_$target.new" "$root/tools/fuzz/fuzz_$target.cpp" "$@"
    mv -f "$out/fuzz_$target.new" "$out/fuzz_$target"
}

scratch="$root/tools/support/scratch_dir.cpp"
targets=${1:-"bmp rank"}
for t in $targets; do
    case $t in
    bmp) build bmp "$root/render/surface.cpp" "$root/render/surface_blit.cpp" "$scratch" ;;
    rank) build rank "$root/rank/text_file.cpp" "$root/rank/ranking.cpp" "$root/platform/files.cpp" "$scratch" ;;
    *) echo "unknown target: $t (bmp or rank)" >&2; exit 2 ;;
    esac
done
