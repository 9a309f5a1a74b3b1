#!/usr/bin/env bash
# Formats the C++ sources with the repository's .clang-format:
#   tools/format.sh [PATH...]           rewrites the tracked .cpp and .h files
#   tools/format.sh --check [PATH...]   changes nothing: lists each file that
#                                       would change with its count of changed
#                                       lines, then the total; fails if any
# Without paths, the whole tree. Needs clang-format (Debian: clang-format).
set -euo pipefail
cd "$(dirname "$0")/.."
check=0
if [ "${1:-}" = "--check" ]; then
    check=1
    shift
fi
mapfile -t files < <(git ls-files -- "${@:-.}" | grep -E '\.(cpp|h)$' || true)
if [ "$check" = 0 ]; then
    [ "${#files[@]}" = 0 ] || clang-format -i --style=file "${files[@]}"
    exit 0
fi
total=0
changed=0
for f in "${files[@]}"; do
    # Lines the formatter would rewrite: the larger of the counts before and
    # after, so a file that only gains lines counts too.
    d=$(clang-format --style=file "$f" | diff -- "$f" - || true)
    old=$(grep -c '^<' <<<"$d" || true)
    new=$(grep -c '^>' <<<"$d" || true)
    n=$((old > new ? old : new))
    if [ "$n" -gt 0 ]; then
        printf '%6d  %s\n' "$n" "$f"
        total=$((total + n))
        changed=$((changed + 1))
    fi
done
echo "format: $total lines in $changed of ${#files[@]} files would change"
[ "$total" = 0 ]
