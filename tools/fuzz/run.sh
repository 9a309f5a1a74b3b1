#!/bin/sh
# Runs one fuzz target on its committed corpus:
#   tools/fuzz/run.sh TARGET [seconds | -runs=N] [more libFuzzer flags]
#   tools/fuzz/run.sh bmp -runs=25000000 -jobs=2 -workers=2   # both cores
# Targets: bmp, rank, wav, settings (in memory), bmp_file, rank_file, sound_file.
# Without a limit it runs until stopped (or until it finds a fault).
# The grown corpus goes to build/fuzz/corpus/<target> (not committed), crash
# files to build/fuzz/artifacts/<target>/, and with -jobs the per-job logs
# (fuzz-N.log) to build/fuzz/logs/<target>/. Run tools/fuzz/build.sh first.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
target=${1:?usage: run.sh TARGET [seconds|-runs=N] [libFuzzer flags]}
shift
exe="$root/build/fuzz/fuzz_$target"
[ -x "$exe" ] || { echo "missing $exe: run tools/fuzz/build.sh $target" >&2; exit 2; }

limit=""
if [ $# -gt 0 ]; then
    case $1 in
    -runs=*) limit=$1; shift ;;
    *[!0-9]*) ;;
    *) limit="-max_total_time=$1"; shift ;;
    esac
fi

case $target in
bmp | bmp_file) maxlen=8192 ;;
*) maxlen=4096 ;;
esac

corpus="$root/build/fuzz/corpus/$target"
artifacts="$root/build/fuzz/artifacts/$target"
logs="$root/build/fuzz/logs/$target"
mkdir -p "$corpus" "$artifacts" "$logs"
cd "$logs"
# Grown corpus first: new inputs are written to the first directory only,
# so the committed corpus stays as it is.
exec "$exe" -max_len=$maxlen -print_final_stats=1 -artifact_prefix="$artifacts/" \
    $limit "$@" "$corpus" "$root/tools/fuzz/corpus/$target"
