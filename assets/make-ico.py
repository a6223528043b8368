#!/usr/bin/env python3
"""Writes a 32 x 32 RGBA image (raw bytes on stdin) as a 16-colour .ico:
a 4-bit palette bitmap with a 1-bit transparency mask, the classic icon
format that every Windows version shows."""
import struct
import sys

SIZE = 32
raw = sys.stdin.buffer.read()
if len(raw) != SIZE * SIZE * 4:
    sys.exit("expected 32 x 32 RGBA pixels")
pixels = [raw[i:i + 4] for i in range(0, len(raw), 4)]

palette = [(0, 0, 0)]  # index 0 stands under transparent pixels
for r, g, b, a in pixels:
    if a >= 128 and (r, g, b) not in palette:
        palette.append((r, g, b))
if len(palette) > 16:
    sys.exit(f"{len(palette)} colours; a 16-colour icon holds 16")
palette += [(0, 0, 0)] * (16 - len(palette))

xor = bytearray()
mask = bytearray()
for y in reversed(range(SIZE)):  # bitmaps are stored bottom-up
    row = pixels[y * SIZE:(y + 1) * SIZE]
    indices = [palette.index(tuple(p[:3])) if p[3] >= 128 else 0 for p in row]
    xor += bytes((indices[x] << 4) | indices[x + 1] for x in range(0, SIZE, 2))
    bits = [1 if p[3] < 128 else 0 for p in row]
    mask += bytes(sum(bits[x + k] << (7 - k) for k in range(8)) for x in range(0, SIZE, 8))

header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
image = header + colours + xor + mask
directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 22)
sys.stdout.buffer.write(directory + image)
