#!/bin/sh
# Starts the installed game with the player's own data folder as working
# directory, so the rank file "Data/Rank.ds" lands there and nothing is
# written into the installed folders.
set -e
here=$(dirname "$(readlink -f "$0")")
# An unset, empty or relative XDG_DATA_HOME means the default.
case "${XDG_DATA_HOME:-}" in
    /*) base=$XDG_DATA_HOME ;;
    *) base=${HOME:?tessaloom: HOME is not set}/.local/share ;;
esac
data="$base/tessaloom"
if ! mkdir -p "$data" || ! cd "$data"; then
    echo "tessaloom: cannot use the data folder $data" >&2
    exit 1
fi
exec "$here/../lib/tessaloom/tessaloom" "$@"
