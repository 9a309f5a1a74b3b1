#!/usr/bin/env python3
"""Pixel checks for the end-to-end tests, on raw screenshots and the game's
own pictures.

  screen.py column-bottom SHOT.rgb BACKGROUND.bmp COLUMN
      lowest screen row of the well's column COLUMN whose centre pixel
      differs from the background picture (the bottom of what is drawn
      there), or -1 when the column shows only background
  screen.py column-bottoms SHOT.rgb BACKGROUND.bmp
      the same for the columns 0..7, on one line
  screen.py ranking GRAPHICS_DIR RANK_FILE OUT.rgb
      the ranking screen the game must show for RANK_FILE, composed from its
      pictures: the background, then each row's letters and digits copied
      wherever the glyph is not key green
  screen.py diff A.rgb B.rgb
      the number of pixels that differ, and the first of them
  screen.py paused SHOT.rgb GRAPHICS_DIR
      the number of pixels of the well and the next-pair box that differ
      from the paused screen: the background, with the pause panel centred
      on the well wherever it is not key green

  screen.py title-hint SHOT.rgb GRAPHICS_DIR KEY
      the number of pixels of the title's options hint that differ from
      the hint naming KEY ("O": the hint picture as it is) over the title
      picture, and the first of them

  screen.py notice SHOT.rgb GRAPHICS_DIR
      the pixels of the top right corner that differ from SOUND OFF, from
      SOUND ON (SoundNotice.bmp's halves, where not key green) and from the
      title picture, on one line

  screen.py one-and-a-half SHOT.rgb OUT.rgb
      the picture at 1.5x, sharp, as the window shows it: of each two
      pixels along a row or column the first, their mean (rounded down,
      each channel) and the second; the rows mixed after the columns

SHOT.rgb files are 640 x 480 raw RGB, top row first (convert shot.png
-depth 8 rgb:SHOT.rgb, or a screenshot written straight to SHOT.rgb).
"""
import struct
import sys

W, H = 640, 480
KEY = (0, 255, 0)


def read_bmp(path):
    """A 24-bit bottom-up BMP as rows of (r, g, b), top row first."""
    data = open(path, "rb").read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        start = offset + (height - 1 - y) * stride
        row = data[start:start + width * 3]
        rows.append([(row[i + 2], row[i + 1], row[i]) for i in range(0, width * 3, 3)])
    return rows


def read_rgb(path):
    data = open(path, "rb").read()
    if len(data) != W * H * 3:
        sys.exit("%s: %d bytes, not a 640 x 480 RGB picture" % (path, len(data)))
    return [[tuple(data[(y * W + x) * 3:(y * W + x) * 3 + 3]) for x in range(W)] for y in range(H)]


def column_bottoms(shot_path, background_path, columns):
    """Reads only the pixels it compares: a poll must stay cheap on a busy
    machine."""
    shot = open(shot_path, "rb").read()
    if len(shot) != W * H * 3:
        sys.exit("%s: %d bytes, not a 640 x 480 RGB picture" % (shot_path, len(shot)))
    bmp = open(background_path, "rb").read()
    offset, = struct.unpack_from("<I", bmp, 10)
    width, height = struct.unpack_from("<ii", bmp, 18)
    stride = (width * 3 + 3) & ~3
    bottoms = []
    for column in columns:
        x = 192 + 32 * column + 16
        bottom = -1
        for y in range(48, 48 + 384):
            s = (y * W + x) * 3
            b = offset + (height - 1 - y) * stride + x * 3
            if (shot[s], shot[s + 1], shot[s + 2]) != (bmp[b + 2], bmp[b + 1], bmp[b]):
                bottom = y
        bottoms.append(bottom)
    return bottoms


def blit_keyed(screen, sheet, sx, sy, w, h, x, y):
    for j in range(h):
        for i in range(w):
            p = sheet[sy + j][sx + i]
            if p != KEY and 0 <= y + j < H and 0 <= x + i < W:
                screen[y + j][x + i] = p


def atoi(line):
    s = line.lstrip(" \t\n\v\f\r")
    sign = 1
    if s[:1] in ("+", "-"):
        sign = -1 if s[0] == "-" else 1
        s = s[1:]
    digits = ""
    for c in s:
        if not c.isdigit():
            break
        digits += c
    return sign * int(digits) if digits else 0


def ranking(graphics, rank_file):
    screen = [list(row) for row in read_bmp(graphics + "/RankBG.bmp")]
    letters = read_bmp(graphics + "/String.bmp")
    digits = read_bmp(graphics + "/Vals.bmp")
    lines = open(rank_file, "rb").read().decode("latin-1").split("\r\n")
    for place in range(1, 6):
        y = 50 + 60 * place
        name = lines[2 * (place - 1)] if 2 * (place - 1) < len(lines) else ""
        for k, c in enumerate(name[:3]):
            if c.isalpha() and c.isascii():
                blit_keyed(screen, letters, 24 * (ord(c.upper()) - ord("A")), 0, 24, 34, 180 + 30 * k, y)
        score = atoi(lines[2 * place - 1]) if 2 * place - 1 < len(lines) else 0
        for k, c in enumerate(str(score)):
            if c.isdigit():
                blit_keyed(screen, digits, 24 * int(c), 0, 24, 34, 300 + 30 * k, y)
    return screen


def paused_differences(shot_path, graphics):
    shot = read_rgb(shot_path)
    background = read_bmp(graphics + "/GameBG.bmp")
    panel = read_bmp(graphics + "/Paused.bmp")
    px, py = 192, 48 + (384 - 160) // 2
    n = 0
    for x0, y0, x1, y1 in ((192, 48, 448, 432), (513, 185, 577, 217)):
        for y in range(y0, y1):
            for x in range(x0, x1):
                want = background[y][x]
                if px <= x < px + 256 and py <= y < py + 160 and panel[y - py][x - px] != KEY:
                    want = panel[y - py][x - px]
                n += shot[y][x] != want
    return n


HINT_X, HINT_Y = 468, 438
# The key name sheet (render/key_names_layout.h): cells of 60 x 16, letters,
# digits, then the named keys; ink starts 2 pixels into a cell.
NAME_CELL, NAME_INK = 60, 2
NAMED = ["LEFT", "RIGHT", "UP", "DOWN", "ESC", "ENTER", "SPACE", "BACKSPACE", "TAB"] + ["F%d" % n for n in range(1, 13)]


def ink_columns(picture, x0, x1):
    return [x for x in range(x0, x1) if any(row[x] != KEY for row in picture)]


def title_hint(shot_path, graphics, key):
    """The hint names KEY: the picture as it is for O, else the key's name
    from the sheet, then the picture's text after its own key name, the gap
    between them kept."""
    shot = read_rgb(shot_path)
    screen = [list(row) for row in read_bmp(graphics + "/Title.bmp")]
    hint = read_bmp(graphics + "/OptionsHint.bmp")
    w, h = len(hint[0]), len(hint)
    if key == "O":
        blit_keyed(screen, hint, 0, 0, w, h, HINT_X, HINT_Y)
    else:
        names = read_bmp(graphics + "/KeyNames.bmp")
        if len(key) == 1 and key.isupper():
            cell = ord(key) - ord("A")
        elif len(key) == 1 and key.isdigit():
            cell = 26 + int(key)
        else:
            cell = 36 + NAMED.index(key)
        blit_keyed(screen, names, NAME_CELL * cell, 0, NAME_CELL, 16, HINT_X, HINT_Y)
        name_end = HINT_X + max(ink_columns(names, NAME_CELL * cell, NAME_CELL * (cell + 1))) + 1 - NAME_CELL * cell
        ink = ink_columns(hint, 0, w)
        first_end = next(x for x in range(ink[0], w) if x not in ink)
        rest = min(x for x in ink if x > first_end)
        blit_keyed(screen, hint, rest, 0, w - rest, h, name_end + rest - first_end, HINT_Y)
        w = 640 - HINT_X
    diffs = [(x, y) for y in range(HINT_Y, HINT_Y + h) for x in range(HINT_X, HINT_X + w)
             if shot[y][x] != screen[y][x]]
    return "%d %s" % (len(diffs), diffs[0] if diffs else "")


# Where the notice after M stands (render/overlay_layout.h).
NOTICE_X, NOTICE_Y, NOTICE_W, NOTICE_H = 480, 10, 148, 30


def notice_differences(shot_path, graphics):
    shot = read_rgb(shot_path)
    sheet = read_bmp(graphics + "/SoundNotice.bmp")
    title = read_bmp(graphics + "/Title.bmp")
    counts = [0, 0, 0]
    for y in range(NOTICE_H):
        for x in range(NOTICE_W):
            here = shot[NOTICE_Y + y][NOTICE_X + x]
            for half in (0, 1):
                want = sheet[NOTICE_H * half + y][x]
                counts[half] += want != KEY and here != want
            counts[2] += here != title[NOTICE_Y + y][NOTICE_X + x]
    return counts


def one_and_a_half(shot):
    """OUT is 960 x 720 raw RGB."""
    def mean(a, b):
        return tuple((p + q) >> 1 for p, q in zip(a, b))

    def widen(line):
        out = []
        for k in range(0, len(line), 2):
            a, b = line[k], line[k + 1]
            out += [a, mean(a, b), b]
        return out

    rows = [widen(row) for row in shot]
    out = []
    for k in range(0, len(rows), 2):
        a, b = rows[k], rows[k + 1]
        out += [a, [mean(p, q) for p, q in zip(a, b)], b]
    return out


def main(argv):
    if len(argv) == 5 and argv[1] == "column-bottom":
        print(column_bottoms(argv[2], argv[3], [int(argv[4])])[0])
    elif len(argv) == 4 and argv[1] == "column-bottoms":
        print(" ".join(str(b) for b in column_bottoms(argv[2], argv[3], range(8))))
    elif len(argv) == 5 and argv[1] == "ranking":
        screen = ranking(argv[2], argv[3])
        with open(argv[4], "wb") as f:
            f.write(bytes(c for row in screen for p in row for c in p))
    elif len(argv) == 4 and argv[1] == "diff":
        a, b = read_rgb(argv[2]), read_rgb(argv[3])
        diffs = [(x, y) for y in range(H) for x in range(W) if a[y][x] != b[y][x]]
        first = "" if not diffs else " first at (%d, %d): %s vs %s" % (
            diffs[0][0], diffs[0][1], a[diffs[0][1]][diffs[0][0]], b[diffs[0][1]][diffs[0][0]])
        print("%d%s" % (len(diffs), first))
    elif len(argv) == 5 and argv[1] == "title-hint":
        print(title_hint(argv[2], argv[3], argv[4]))
    elif len(argv) == 4 and argv[1] == "one-and-a-half":
        with open(argv[3], "wb") as f:
            f.write(bytes(c for row in one_and_a_half(read_rgb(argv[2])) for p in row for c in p))
    elif len(argv) == 4 and argv[1] == "paused":
        print(paused_differences(argv[2], argv[3]))
    elif len(argv) == 4 and argv[1] == "notice":
        print(" ".join(str(n) for n in notice_differences(argv[2], argv[3])))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
