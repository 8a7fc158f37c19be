#!/usr/bin/env python3
"""Writes resources/hand.cur: the 32x32 monochrome hand cursor of the markup
label's links, drawn below as ASCII art, hot spot at the finger tip (5, 0).

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

SIZE = 32


def masks(rows):
    """XOR (colour) and AND (transparency) bitmaps, bottom row first."""
    xor_rows, and_rows = [], []
    for y in range(SIZE - 1, -1, -1):
        line = rows[y] if y < len(rows) else ""
        xor_bits = and_bits = 0
        for x in range(SIZE):
            ch = line[x] if x < len(line) else "."
            bit = 1 << (SIZE - 1 - x)
            if ch == ".":
                and_bits |= bit
            elif ch == "o":
                xor_bits |= bit
            elif ch != "X":
                sys.exit(f"unknown pixel {ch!r} at ({x}, {y})")
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    return b"".join(xor_rows), b"".join(and_rows)


def main():
    rows = [r for r in ART.strip("\n").split("\n")]
    if len(rows) > SIZE or any(len(r) > SIZE for r in rows):
        sys.exit("the art must fit in 32x32")
    if rows[HOTSPOT[1]][HOTSPOT[0]] != "X":
        sys.exit("the hot spot must be on the hand")
    xor_mask, and_mask = masks(rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0, len(xor_mask) + len(and_mask), 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + xor_mask + and_mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOTSPOT[0], HOTSPOT[1], len(image), 6 + 16)
    out = sys.argv[1] if len(sys.argv) > 1 else "resources/hand.cur"
    with open(out, "wb") as f:
        f.write(directory + entry + image)


if __name__ == "__main__":
    main()
