"""Writes a stereo float WAV: 220 Hz on the left, 330 Hz on the right, a second at 48 kHz.

Usage: stereo_tones.py OUT.wav
"""
import math
import struct
import sys

RATE = 48000
frames = b"".join(
    struct.pack("<ff", 0.5 * math.sin(2 * math.pi * 220 * i / RATE),
                0.3 * math.sin(2 * math.pi * 330 * i / RATE))
    for i in range(RATE))
fmt = struct.pack("<HHIIHH", 3, 2, RATE, RATE * 8, 8, 32)
with open(sys.argv[1], "wb") as out:
    out.write(b"RIFF" + struct.pack("<I", 4 + 24 + 8 + len(frames)) + b"WAVE")
    out.write(b"fmt " + struct.pack("<I", len(fmt)) + fmt)
    out.write(b"data" + struct.pack("<I", len(frames)) + frames)
