#!/bin/sh
# Starts the installed game with the player's own data folder as working
# directory, so the rank file "Data/Rank.ds" lands there and nothing is
# written into the installed folders.
set -e
here=$(dirname "$(readlink -f "$0")")
data="${XDG_DATA_HOME:-$HOME/.local/share}/tessaloom"
mkdir -p "$data"
cd "$data"
exec "$here/../lib/tessaloom/tessaloom" "$@"
