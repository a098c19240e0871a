#!/usr/bin/env python3
"""Writes MultiplierWindow.ico: one 25 x 16 image, 24-bit colour, opaque.

A light-yellow card with a dark frame and two columns of short black lines: the
multiplier list in miniature. Run it from this folder after changing the picture.
"""
import struct

W, H = 25, 16
FRAME = (40, 60, 120)
CARD = (255, 250, 198)  # the list's own background
INK = (0, 0, 0)
TITLE = (70, 110, 190)


def colour(x, y):
    if x in (0, W - 1) or y in (0, H - 1):
        return FRAME
    if y in (1, 2):
        return TITLE
    # two columns of "calls", one line of ink every other row
    if y >= 4 and y % 2 == 0 and y <= H - 3:
        if 3 <= x <= 10 or 14 <= x <= 21:
            # vary the lengths a little, as calls differ
            short = (y // 2 + (x > 12)) % 3
            if (x <= 10 and x > 10 - short) or (x >= 14 and x > 21 - short):
                return CARD
            return INK
    return CARD


def main():
    row_bytes = (W * 3 + 3) // 4 * 4
    mask_row = ((W + 31) // 32) * 4
    pixels = bytearray()
    for y in reversed(range(H)):  # bottom-up
        row = bytearray()
        for x in range(W):
            r, g, b = colour(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        pixels += row
    mask = b"\0" * (mask_row * H)  # every pixel opaque
    header = struct.pack("<IiiHHIIiiII", 40, W, H * 2, 1, 24, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + bytes(pixels) + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", W, H, 0, 0, 1, 24, len(image), 6 + 16)
    with open("MultiplierWindow.ico", "wb") as f:
        f.write(directory + entry + image)


if __name__ == "__main__":
    main()
