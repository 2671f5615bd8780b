#!/usr/bin/env python3
"""Writes the test add-in's APPICON: one 32 x 32 image with 32 bits per pixel, a blue square."""
import struct
import sys

SIZE = 32
pixels = bytearray()
for y in range(SIZE):
    for x in range(SIZE):
        edge = x in (0, SIZE - 1) or y in (0, SIZE - 1)
        pixels += bytes((40, 40, 40, 255) if edge else (200, 120, 30, 255))  # BGRA
mask = bytes(SIZE * SIZE // 8)
header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
image = header + bytes(pixels) + mask
directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
with open(sys.argv[1], "wb") as out:
    out.write(directory + image)
