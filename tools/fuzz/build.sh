#!/bin/sh
# Builds the libFuzzer targets into build/fuzz/ under the repository:
#   tools/fuzz/build.sh              every target
#   tools/fuzz/build.sh bmp wav      some of them
# Targets: bmp, rank, wav, settings (in memory) and bmp_file, rank_file,
# sound_file (the same readers through a file).
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

all="bmp rank wav settings bmp_file rank_file sound_file"
picture="$root/render/surface.cpp $root/render/surface_blit.cpp $root/platform/files.cpp"
rank="$root/rank/text_file.cpp $root/rank/ranking.cpp $root/platform/files.cpp"
sound="$root/platform/wav_check.cpp $root/platform/files.cpp"
settings="$root/settings/settings.cpp $root/platform/files.cpp"
for t in ${*:-$all}; do
    # shellcheck disable=SC2086
    case $t in
    bmp | bmp_file) build "$t" $picture ;;
    rank | rank_file) build "$t" $rank ;;
    wav | sound_file) build "$t" $sound ;;
    settings) build "$t" $settings ;;
    *) echo "unknown target: $t ($all)" >&2; exit 2 ;;
    esac
done
