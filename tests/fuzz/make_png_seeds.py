#!/usr/bin/python3
"""Writes the image fuzz target's seed corpus: one small PNG of every colour type and bit depth
the loader handles, with and without transparency, interlaced and not, plus cut-off ones. The
target reads its blit's position, rectangle, weight and mode from an input's last bytes, so
every seed ends in 24 bytes for those after the image. Run from anywhere; the seeds land in
corpus/image beside this script."""
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "image")


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(width, height, depth, colour, rows, extra=b"", interlace=0):
    header = struct.pack(">IIBBBBB", width, height, depth, colour, 0, 0, interlace)
    raw = b"".join(b"\x00" + row for row in rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + extra +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def row_bytes(width, depth, channels, seed):
    bits = width * depth * channels
    return bytes((seed * 37 + i * 11) & 0xFF for i in range((bits + 7) // 8))


def image(width, height, depth, colour, extra=b"", interlace=0):
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    rows = [row_bytes(width, depth, channels, y) for y in range(height)]
    return png(width, height, depth, colour, rows, extra, interlace)


def main():
    os.makedirs(OUT, exist_ok=True)
    seeds = {}
    for depth in (1, 2, 4, 8, 16):
        seeds["gray-%d" % depth] = image(5, 3, depth, 0)
    seeds["gray-8-trns"] = image(4, 4, 8, 0, chunk(b"tRNS", b"\x00\x25"))
    for depth in (8, 16):
        seeds["rgb-%d" % depth] = image(3, 2, depth, 2)
        seeds["gray-alpha-%d" % depth] = image(3, 3, depth, 4)
        seeds["rgba-%d" % depth] = image(2, 3, depth, 6)
    seeds["rgb-8-trns"] = image(3, 3, 8, 2, chunk(b"tRNS", b"\x00\x25\x00\x4a\x00\x6f"))
    palette = chunk(b"PLTE", bytes(range(48)))
    for depth in (1, 2, 4, 8):
        seeds["palette-%d" % depth] = image(7, 2, depth, 3, palette)
    seeds["palette-8-trns"] = image(4, 2, 8, 3, palette + chunk(b"tRNS", b"\x80\x00\xff"))
    seeds["rgba-8-interlaced"] = image(9, 9, 8, 6, interlace=1)
    seeds["one-pixel"] = image(1, 1, 8, 6)
    seeds["wide-95"] = image(95, 1, 8, 2)
    whole = image(6, 5, 8, 6)
    seeds["cut-in-data"] = whole[:len(whole) - 20]
    seeds["signature-only"] = whole[:8]
    for name, data in seeds.items():
        with open(os.path.join(OUT, name + ".png"), "wb") as f:
            f.write(data + bytes(range(7, 7 + 24 * 5, 5)))


if __name__ == "__main__":
    main()
