#!/usr/bin/env python3
"""Writes resources/hand.cur: the monochrome hand cursor of the markup label's
links, drawn below as ASCII art at 32x32 with its hot spot at the finger tip
(5, 0), and enlarged pixel by pixel for the cursor sizes of 125, 150 and 200 %
display scaling (40, 48 and 64 pixels), the hot spot moving with the tip.

  X  black     o  white     .  transparent
"""
import struct
import sys

HOTSPOT = (5, 0)

ART = """
.....XX.
....XooX
....XooX
....XooX
....XooX
....XooXXX
....XooXooXXX
....XooXooXooXX
....XooXooXooXoX
.XX.XooXooXooXooX
XooXXoooooooooooX
XoooXoooooooooooX
.XooXoooooooooooX
..XoXoooooooooooX
..XooooooooooooX
...XoooooooooooX
...XoooooooooooX
....XooooooooooX
....XoooooooooX
.....XooooooooX
.....XooooooooX
.....XXXXXXXXXX
"""

ART_SIZE = 32
SIZES = (32, 40, 48, 64)


def source_of(d, size):
    """The art pixel that pixel d of a cursor of the given size shows (its centre)."""
    return (2 * d + 1) * ART_SIZE // (2 * size)


def scaled(rows, size):
    grid = [[(rows[y][x] if y < len(rows) and x < len(rows[y]) else ".") for x in range(ART_SIZE)]
            for y in range(ART_SIZE)]
    return [[grid[source_of(y, size)][source_of(x, size)] for x in range(size)] for y in range(size)]


def masks(pixels):
    """XOR (colour) and AND (transparency) bitmaps, bottom row first, rows padded to 32 bits."""
    size = len(pixels)
    stride = (size + 31) // 32 * 4
    xor_rows, and_rows = [], []
    for y in range(size - 1, -1, -1):
        xor_bits = and_bits = 0
        for x, ch in enumerate(pixels[y]):
            bit = 1 << (stride * 8 - 1 - x)
            if ch == ".":
                and_bits |= bit
            elif ch == "o":
                xor_bits |= bit
            elif ch != "X":
                sys.exit(f"unknown pixel {ch!r} at ({x}, {y})")
        xor_rows.append(xor_bits.to_bytes(stride, "big"))
        and_rows.append(and_bits.to_bytes(stride, "big"))
    return b"".join(xor_rows), b"".join(and_rows)


def image(pixels):
    size = len(pixels)
    xor_mask, and_mask = masks(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor_mask) + len(and_mask), 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    return header + palette + xor_mask + and_mask


def hotspot(size):
    """The first pixel of the enlarged cursor that shows the art's hot spot."""
    x = next(d for d in range(size) if source_of(d, size) == HOTSPOT[0])
    y = next(d for d in range(size) if source_of(d, size) == HOTSPOT[1])
    return x, y


def main():
    rows = [r for r in ART.strip("\n").split("\n")]
    if len(rows) > ART_SIZE or any(len(r) > ART_SIZE for r in rows):
        sys.exit("the art must fit in 32x32")
    if rows[HOTSPOT[1]][HOTSPOT[0]] != "X":
        sys.exit("the hot spot must be on the hand")
    images = [(size, image(scaled(rows, size)), hotspot(size)) for size in SIZES]
    directory = struct.pack("<HHH", 0, 2, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for size, bits, (hx, hy) in images:
        entries += struct.pack("<BBBBHHII", size, size, 2, 0, hx, hy, len(bits), offset + len(data))
        data += bits
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/hand.cur"
    with open(out, "wb") as f:
        f.write(directory + entries + data)


if __name__ == "__main__":
    main()
