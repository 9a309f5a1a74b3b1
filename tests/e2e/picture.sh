#!/usr/bin/env bash
# The window shows what the game composed, the right way up and in the
# right colours: the title picture is replaced by a test card whose four
# quadrants and corner marker tell a flip, a mirror or swapped red and blue
# apart, and a screenshot of the window must match it.
. "$(dirname "$0")/lib.sh"
e2e_init "${1:-}"
command -v python3 >/dev/null || fail "missing tool python3"
command -v import >/dev/null || fail "missing tool import (imagemagick)"

# A copy of the game whose only picture is the test card.
mkdir -p "$E2E_TMP/game/Graphics"
cp "$E2E_EXE" "$E2E_TMP/game/tessaloom"
python3 - "$E2E_TMP/game/Graphics/Title.bmp" <<'PY'
import struct, sys

W, H = 640, 480
RED, GREEN, BLUE, YELLOW, WHITE = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 0), (255, 255, 255)

def colour(x, y):  # y from the top of the screen
    if 16 <= x < 48 and 16 <= y < 48:
        return WHITE  # marker near the top-left corner
    if y < 240:
        return RED if x < 320 else GREEN
    return BLUE if x < 320 else YELLOW

rows = []
for y in range(H - 1, -1, -1):  # a BMP stores the bottom row first
    row = bytearray()
    for x in range(W):
        r, g, b = colour(x, y)
        row += bytes((b, g, r))
    rows.append(bytes(row))      # 640 * 3 is a multiple of 4: no padding
pixels = b"".join(rows)
header = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, W, H, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
with open(sys.argv[1], "wb") as f:
    f.write(header + info + pixels)
PY

start_display
start_game "$E2E_TMP/game/tessaloom"
wid="$(wait_for_window)"

# x y expected-colour, in screen coordinates of the client area.
probes=(
    "100 100 #FF0000"   # top left: red
    "540 100 #00FF00"   # top right: green
    "100 380 #0000FF"   # bottom left: blue
    "540 380 #FFFF00"   # bottom right: yellow
    "30 30 #FFFFFF"     # marker, top-left corner
    "610 30 #00FF00"    # no marker in the top-right corner (mirror)
    "30 450 #0000FF"    # no marker in the bottom-left corner (flip)
    "0 0 #FF0000"       # the first pixel ...
    "639 479 #FFFF00"   # ... and the last: shown 1:1, no border
)

pixel() {  # pixel FILE X Y -> #RRGGBB
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-Fa-f]\{6\}' | head -n1 | tr a-f A-F
}

mismatch=""
for attempt in $(seq 1 20); do
    sleep 0.25
    import -window "$wid" "$E2E_TMP/shot.png" 2>/dev/null || continue
    mismatch=""
    for p in "${probes[@]}"; do
        read -r x y want <<<"$p"
        got="$(pixel "$E2E_TMP/shot.png" "$x" "$y")"
        [ "$got" = "$want" ] || mismatch="$mismatch ($x,$y)=$got want $want;"
    done
    [ -z "$mismatch" ] && break
done
[ -z "$mismatch" ] || fail "screenshot differs from the test card:$mismatch"
size="$(identify -format '%wx%h' "$E2E_TMP/shot.png")"
[ "$size" = "640x480" ] || fail "screenshot is $size, expected 640x480"
note "window shows the test card upright, unmirrored, colours right"
