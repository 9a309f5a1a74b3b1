#!/usr/bin/env bash
# tools/uninstall.sh BUILD_DIR: removes what `cmake --install BUILD_DIR`
# installed, as listed in BUILD_DIR/install_manifest.txt, then the folders
# that held those files and are empty now, up to the install prefix (the
# deepest folder holding every listed file), which stays. A folder that
# still holds anything else stays too.
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
manifest="$1/install_manifest.txt"
[ -f "$manifest" ] || { echo "$0: no $manifest: nothing was installed from $1" >&2; exit 1; }

files=()
while IFS= read -r path || [ -n "$path" ]; do
    [ -n "$path" ] || continue
    case "$path" in
        /*) files+=("$path") ;;
        *) echo "$0: not an absolute path in $manifest: $path" >&2; exit 1 ;;
    esac
done <"$manifest"
[ "${#files[@]}" -gt 0 ] || { echo "$0: $manifest lists nothing"; exit 0; }

# The prefix: the longest leading folder path that every entry shares.
prefix="$(dirname "${files[0]}")"
for path in "${files[@]}"; do
    while [ "${path#"$prefix"/}" = "$path" ]; do
        [ "$prefix" != / ] || break 2
        prefix="$(dirname "$prefix")"
    done
done

removed=0
declare -A dirs=()
for path in "${files[@]}"; do
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        echo "$0: left alone, a folder now: $path" >&2
        continue
    fi
    if [ -e "$path" ] || [ -L "$path" ]; then
        rm -f -- "$path"
        removed=$((removed + 1))
    fi
    dir="$(dirname "$path")"
    while [ "$dir" != "$prefix" ] && [ "${dir#"$prefix"/}" != "$dir" ]; do
        dirs["$dir"]=1
        dir="$(dirname "$dir")"
    done
done

# Deepest first, so that a folder whose subfolders went is empty in turn.
emptied=0
while IFS= read -r dir; do
    [ -n "$dir" ] || continue
    if [ -d "$dir" ] && [ ! -L "$dir" ] && rmdir -- "$dir" 2>/dev/null; then
        emptied=$((emptied + 1))
    fi
done < <(printf '%s\n' "${!dirs[@]}" | awk -F/ '{ print NF "\t" $0 }' | sort -k1,1nr | cut -f2-)
echo "removed $removed files and $emptied empty folders under $prefix"
