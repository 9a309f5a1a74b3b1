#!/usr/bin/env python3
"""Writes the seed corpora in corpus/bmp, corpus/rank and corpus/wav (small,
a few KB). The file targets (bmp_file, rank_file, sound_file) start from the
same seeds. Run from anywhere: python3 tools/fuzz/make_seeds.py"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def bmp(width, height, pixels=None, *, magic=b"BM", offset=54, info=40, planes=1,
        bits=24, compression=0, cut=0, extra=b"", steer=b"\0" * 8, tail=b"\0" * 16):
    """One file; steer goes to bytes 2..9 and tail to 38..53, which the reader
    ignores and the fuzz target uses to place its copies."""
    count = max(width, 0) * max(height, 0) * 3
    if pixels is None:
        # Magenta every third pixel, so keyed copies have runs to walk.
        pixels = b"".join(bytes((255, 0, 255)) if p % 3 == 0 else bytes((p * 7 % 256, 40, 200))
                          for p in range(count // 3))
    head = magic + steer + struct.pack("<I", offset)
    head += struct.pack("<IiiHHII", info, width, height, planes, bits, compression, count)
    head += tail
    data = head + pixels + extra
    return data[:len(data) - cut] if cut else data


def write(folder, name, data):
    path = os.path.join(HERE, "corpus", folder)
    os.makedirs(path, exist_ok=True)
    with open(os.path.join(path, name), "wb") as f:
        f.write(data)


def bmp_seeds():
    write("bmp", "valid_4x1", bmp(4, 1))
    write("bmp", "valid_8x3_keyed", bmp(8, 3, steer=bytes((2, 1, 0, 0, 6, 2, 200, 8))))
    write("bmp", "valid_12x2_self", bmp(12, 2, steer=bytes((3, 0, 1, 0, 8, 2, 150, 12))))
    write("bmp", "valid_4x4_far",
          bmp(4, 4, steer=bytes((0, 0, 0, 0, 4, 4, 64, 11)),
              tail=struct.pack("<iiii", -2147483647, 2147483647, 2147483647, -5)))
    write("bmp", "valid_8x2_trailing", bmp(8, 2, extra=b"\xee" * 10))
    write("bmp", "short_last_byte", bmp(8, 2, cut=1))
    write("bmp", "headers_only", bmp(4, 1)[:54])
    write("bmp", "width_6", bmp(6, 2))
    write("bmp", "top_down", bmp(4, -2, pixels=bytes(range(24))))
    write("bmp", "bits_32", bmp(4, 1, bits=32))
    write("bmp", "palette_offset", bmp(4, 1, offset=1078))
    write("bmp", "v5_header", bmp(4, 1, info=124))
    write("bmp", "rle", bmp(4, 1, compression=1))
    write("bmp", "huge_announced", bmp(4096, 4096, pixels=b"\0" * 48))


def rank_seeds():
    table = b"".join(b"%s\r\n%d\r\n" % (n, s) for n, s in
                     ((b"abc", 5000), (b"zzz", 4000), (b"aaa", 3000), (b"qrs", 2000), (b"mno", 10)))
    write("rank", "table", table)
    write("rank", "table_no_final_crlf", table[:-2])
    write("rank", "table_unsorted_ties",
          b"b\r\n5\r\na\r\n9\r\nc\r\n5\r\nd\r\n9\r\ne\r\n0\r\n")
    write("rank", "short", b"abc\r\n1200\r\n")
    write("rank", "no_crlf", b"abc 1200 def 300")
    write("rank", "lone_cr_lf", b"a\rb\r\n12\n\r\nx\n\r\r\n\r\r\n7\r")
    write("rank", "zero_byte", b"abc\r\n1200\r\nd\0ef\r\n300\r\n")
    write("rank", "huge_numbers",
          b"big\r\n99999999999999999999\r\nneg\r\n-99999999999\r\nmax\r\n2147483647\r\n"
          b"min\r\n-2147483648\r\nover\r\n2147483648\r\n")
    write("rank", "signs_blanks",
          b"p\r\n+42\r\nm\r\n \t-17x\r\nz\r\n0042\r\nq\r\n+-3\r\nr\r\n\v\f 9\r\n")
    write("rank", "empty", b"")
    write("rank", "blank_lines", b"\r\n" * 12)
    write("rank", "long_name", b"n" * 300 + b"\r\n1\r\n")


def chunk(cid, body, pad=True):
    out = cid + struct.pack("<I", len(body)) + body
    return out + b"\0" if pad and len(body) % 2 else out


def fmt(channels=2, rate=44100, bits=16, tag=1, block=None, byte_rate=None, extra=b""):
    block = channels * bits // 8 if block is None else block
    byte_rate = rate * block if byte_rate is None else byte_rate
    return chunk(b"fmt ", struct.pack("<HHIIHH", tag, channels, rate, byte_rate, block, bits) + extra)


def wav(*chunks, riff_size=None, tail=b""):
    body = b"WAVE" + b"".join(chunks)
    size = len(body) if riff_size is None else riff_size
    return b"RIFF" + struct.pack("<I", size) + body + tail


def wav_seeds():
    frames = bytes((1, 0, 255, 255, 0, 128, 255, 127))
    data = chunk(b"data", frames)
    write("wav", "stereo", wav(fmt(), data))
    write("wav", "mono_48k", wav(fmt(channels=1, rate=48000), data))
    write("wav", "list_odd_fact", wav(chunk(b"LIST", b"INFOx"), fmt(), chunk(b"fact", b"\2\0\0\0"),
                                      data, chunk(b"junk", b"abc")))
    write("wav", "unpadded_list", wav(chunk(b"LIST", b"INF", pad=False), fmt(), data))
    write("wav", "fmt_18", wav(fmt(extra=b"\0\0"), data))
    write("wav", "trailing_bytes", wav(fmt(), data, tail=b"ID3\0\0\0\7"))
    write("wav", "cut_short", wav(fmt(), data)[:-1])
    write("wav", "streamed", wav(fmt(), chunk(b"data", b"")[:4] + b"\xff\xff\xff\xff" + frames))
    write("wav", "eight_bit", wav(fmt(channels=1, rate=22050, bits=8), chunk(b"data", b"\x80\x81\x7f")))
    write("wav", "extensible", wav(fmt(tag=0xFFFE, extra=b"\x16\0" + b"\0" * 22), data))
    write("wav", "rate_edges", wav(fmt(rate=8000), chunk(b"data", frames[:4])))
    write("wav", "data_first", wav(data, fmt()))
    write("wav", "two_fmt", wav(fmt(), fmt(channels=1), data))
    write("wav", "empty_data", wav(fmt(), chunk(b"data", b"")))
    write("wav", "fmt_only", wav(fmt(), chunk(b"LIST", b"")))


if __name__ == "__main__":
    bmp_seeds()
    rank_seeds()
    wav_seeds()
