#!/usr/bin/env python3
"""Draws the application icon (a pulse line over a chip) as a 48x48 32-bit ICO."""
import math
import struct
import sys

SIZE = 48


def pixel(x, y):
    """BGRA of one pixel: a rounded dark-blue tile, a grey chip, an orange pulse."""
    cx = min(max(x, 6), SIZE - 7)
    cy = min(max(y, 6), SIZE - 7)
    if math.hypot(x - cx, y - cy) > 6:
        return (0, 0, 0, 0)
    color = (96, 48, 24, 255)
    if 12 <= x <= 35 and 12 <= y <= 35:
        color = (120, 120, 120, 255)
        if (x in (12, 35) or y in (12, 35)):
            color = (200, 200, 200, 255)
    if (x in range(14, 34, 4)) and (y < 12 or y > 35) and 4 <= y <= 43:
        color = (200, 200, 200, 255)
    # The pulse: flat, one sharp beat, flat again.
    beat = {18: 24, 19: 18, 20: 12, 21: 8, 22: 14, 23: 22, 24: 30, 25: 36, 26: 30, 27: 24}
    low, high = sorted((beat.get(x, 24), beat.get(x + 1, 24)))
    if 4 <= x <= 43 and low - 1 <= y <= high + 1:
        color = (0, 128, 255, 255)
    return color


def ico():
    rows = []
    for y in reversed(range(SIZE)):  # bitmaps run bottom-up
        rows.append(b"".join(bytes(pixel(x, y)) for x in range(SIZE)))
    xor = b"".join(rows)
    mask_row = ((SIZE + 31) // 32) * 4
    mask = bytes(mask_row * SIZE)  # all opaque; the alpha channel does the work
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, 2 * SIZE, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(ico())
