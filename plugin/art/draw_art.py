#!/usr/bin/env python3
"""Draws the DLL's pictures: the toolbox bitmap (16 x 15, 16 colours) and the
icon (32 x 32 and 48 x 48, 256 colours). Both show a small call tree: a
method at the top and the two methods it calls beneath it.

Run from this folder; it rewrites toolbox.bmp and ramulet.ico.
"""

import struct

# The toolbox bitmap, pixel by pixel. Its lower left pixel (the background)
# is the colour a toolbox treats as transparent.
TOOLBOX_ROWS = [
    "................",
    ".NNNNNN.........",
    ".NYYYYN.........",
    ".NYWWYN.........",
    ".NNNNNN.........",
    "...K............",
    "...K...NNNNNNNN.",
    "...KKKKNBWWWWBN.",
    "...K...NBBBBBBN.",
    "...K...NNNNNNNN.",
    "...K............",
    "...K...NNNNNNNN.",
    "...KKKKNBWWWWBN.",
    ".......NBBBBBBN.",
    ".......NNNNNNNN.",
]

# The 16 colours of the bitmap's palette, the classic order.
VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
TOOLBOX_COLOURS = {".": 7, "N": 4, "Y": 11, "B": 12, "W": 15, "K": 8}

# Icon colours (palette indices 0..6; the rest of the 256 entries is black).
ICON_PALETTE = [
    (0, 0, 0),        # 0 unused / transparent
    (0, 38, 92),      # 1 node border
    (255, 170, 30),   # 2 calling method
    (60, 120, 215),   # 3 called methods
    (255, 255, 255),  # 4 name stripe
    (90, 90, 90),     # 5 connector
    (255, 215, 140),  # 6 highlight of the calling method
]

# The icon on a 32 x 32 grid: (x0, y0, x1, y1) with the far edges excluded.
ROOT = (2, 2, 17, 12)
CHILDREN = [(13, 14, 30, 22), (13, 24, 30, 31)]
TRUNK = (7, 12, 9, 28)
BRANCHES = [(9, 17, 13, 19), (9, 26, 13, 28)]


def scaled(box, size):
    factor = size / 32
    return tuple(round(v * factor) for v in box)


def draw_icon_pixels(size):
    pixels = [[0] * size for _ in range(size)]

    def fill(box, colour):
        x0, y0, x1, y1 = scaled(box, size)
        for y in range(y0, y1):
            for x in range(x0, x1):
                pixels[y][x] = colour

    def node(box, colour):
        x0, y0, x1, y1 = scaled(box, size)
        border = max(1, size // 32)
        for y in range(y0, y1):
            for x in range(x0, x1):
                edge = x < x0 + border or x >= x1 - border or y < y0 + border or y >= y1 - border
                pixels[y][x] = 1 if edge else colour
        # A white stripe for the method's name.
        middle = (y0 + y1) // 2
        for y in range(middle - border // 2 - 1, middle + (border + 1) // 2):
            for x in range(x0 + 3 * border, x1 - 3 * border):
                pixels[y][x] = 4

    fill(TRUNK, 5)
    for branch in BRANCHES:
        fill(branch, 5)
    node(ROOT, 2)
    x0, y0, x1, _ = scaled(ROOT, size)
    border = max(1, size // 32)
    for x in range(x0 + border, x1 - border):
        pixels[y0 + border][x] = 6
    for child in CHILDREN:
        node(child, 3)
    return pixels


def bitmap_info_header(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, 0, 0)


def palette_bytes(colours, count):
    colours = list(colours) + [(0, 0, 0)] * (count - len(colours))
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)


def row_padded(data):
    return data + b"\0" * ((4 - len(data) % 4) % 4)


def write_toolbox_bitmap(path):
    height, width = len(TOOLBOX_ROWS), len(TOOLBOX_ROWS[0])
    rows = []
    for line in reversed(TOOLBOX_ROWS):  # bottom-up
        indices = [TOOLBOX_COLOURS[c] for c in line]
        packed = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, width, 2))
        rows.append(row_padded(packed))
    image = b"".join(rows)
    info = bitmap_info_header(width, height, 4, len(image)) + palette_bytes(VGA_PALETTE, 16)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(image), 0, 0, offset)
    with open(path, "wb") as out:
        out.write(header + info + image)


def icon_image(size):
    pixels = draw_icon_pixels(size)
    colour_rows = [row_padded(bytes(row)) for row in reversed(pixels)]
    mask_rows = []
    for row in reversed(pixels):
        bits = 0
        for x, index in enumerate(row):
            if index == 0:
                bits |= 1 << (size - 1 - x)
        mask_rows.append(row_padded(bits.to_bytes((size + 7) // 8, "big")))
    image = b"".join(colour_rows) + b"".join(mask_rows)
    return bitmap_info_header(size, size * 2, 8, len(image)) + palette_bytes(ICON_PALETTE, 256) + image


def write_icon(path, sizes):
    images = [icon_image(size) for size in sizes]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), offset)
        offset += len(image)
    with open(path, "wb") as out:
        out.write(header + entries + b"".join(images))


if __name__ == "__main__":
    write_toolbox_bitmap("toolbox.bmp")
    write_icon("ramulet.ico", [32, 48])
