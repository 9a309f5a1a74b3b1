#!/bin/sh
# Runs one fuzz target on its seeds:
#   tools/fuzz/run.sh bmp|rank [seconds | -runs=N] [more libFuzzer flags]
# Without a limit it runs until stopped (or until it finds a fault).
# The grown corpus goes to build/fuzz/corpus/<target> (not committed), crash
# files to build/fuzz/artifacts/<target>/. Run tools/fuzz/build.sh first.
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
target=${1:?usage: run.sh bmp|rank [seconds|-runs=N] [libFuzzer flags]}
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
bmp) maxlen=8192 ;;
*) maxlen=4096 ;;
esac

corpus="$root/build/fuzz/corpus/$target"
artifacts="$root/build/fuzz/artifacts/$target"
mkdir -p "$corpus" "$artifacts"
# Grown corpus first: new inputs are written to the first directory only,
# so the committed seeds stay as they are.
exec "$exe" -max_len=$maxlen -print_final_stats=1 -artifact_prefix="$artifacts/" \
    $limit "$@" "$corpus" "$root/tools/fuzz/corpus/$target"
