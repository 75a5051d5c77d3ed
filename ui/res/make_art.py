#!/usr/bin/env python3
"""Draws the program's art: the hourglass icon (32x32 and 16x16 in 16 colours,
48x48 in 256 colours) and the tiled window background (510x266, 256 colours).
Run it from anywhere; it rewrites quotamin.ico and background.bmp beside it.
Everything is computed here, so the output is the same on every machine."""

import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

# The 16 colours of the standard Windows palette, in its order.
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def hourglass(size):
    """The icon's shape: for each pixel None (transparent) or a part name."""
    image = [[None] * size for _ in range(size)]
    s = size / 32.0
    for y in range(size):
        for x in range(size):
            u = (x + 0.5) / s  # in 32-pixel units
            v = (y + 0.5) / s
            if 4 <= v < 7 or 25 <= v < 28:
                if 5 <= u < 27:
                    image[y][x] = 'wood' if not (v < 5 or v >= 27) else 'wooddark'
                continue
            if 7 <= v < 25:
                if 6 <= u < 8 or 24 <= u < 26:
                    image[y][x] = 'post'
                    continue
                # The glass narrows towards the middle (v = 16).
                half = 1.2 + 7.3 * abs(v - 16) / 9.0
                d = abs(u - 16)
                if d <= half:
                    edge = half - d < 1.1
                    if v < 16:
                        sand = v > 10.5 and d < half - 0.6
                    else:
                        sand = (v > 25 - 6 * (1 - d / 8.5)) or d < 0.9
                    image[y][x] = 'glassedge' if edge else ('sand' if sand else 'glass')
    return image


def icon_image(size, palette, colours, bits):
    shape = hourglass(size)
    rows = []
    mask_rows = []
    for y in reversed(range(size)):  # bottom-up
        indices = [palette.index(colours[shape[y][x]]) if shape[y][x] else 0 for x in range(size)]
        mask = [1 if shape[y][x] is None else 0 for x in range(size)]
        if bits == 4:
            row = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        else:
            row = bytes(indices)
        rows.append(row + b'\0' * (-len(row) % 4))
        mrow = bytearray((size + 7) // 8)
        for x in range(size):
            if mask[x]:
                mrow[x // 8] |= 0x80 >> (x % 8)
        mask_rows.append(bytes(mrow) + b'\0' * (-len(mrow) % 4))
    colours_used = 1 << bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, bits, 0,
                         sum(map(len, rows)) + sum(map(len, mask_rows)), 0, 0, colours_used, 0)
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette[:colours_used])
    return header + table + b''.join(rows) + b''.join(mask_rows)


def write_icon(path):
    small = {'wood': VGA[1], 'wooddark': VGA[1], 'post': VGA[3], 'glass': VGA[15],
             'glassedge': VGA[4], 'sand': VGA[11]}
    # 256 colours: the 16 above, then shades for the larger icon.
    palette = list(VGA) + [(0, 0, 0)] * 240
    rich = {'wood': (150, 90, 40), 'wooddark': (96, 56, 24), 'post': (120, 72, 32),
            'glass': (226, 240, 250), 'glassedge': (60, 100, 150), 'sand': (232, 190, 80)}
    for i, colour in enumerate(rich.values()):
        palette[16 + i] = colour
    images = [(32, 4, icon_image(32, VGA, small, 4)), (16, 4, icon_image(16, VGA, small, 4)),
              (48, 8, icon_image(48, palette, rich, 8))]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16 if bits == 4 else 0, 0, 1, bits,
                           len(data), offset)
        offset += len(data)
    out += b''.join(data for _, _, data in images)
    with open(path, 'wb') as f:
        f.write(out)


def write_background(path, width=510, height=266):
    # A soft blue-grey with gentle waves that repeat exactly across the tile.
    top, bottom = (222, 232, 242), (196, 212, 230)
    palette = [tuple(round(a + (b - a) * i / 255) for a, b in zip(top, bottom)) for i in range(256)]
    pixels = bytearray()
    for y in reversed(range(height)):
        for x in range(width):
            u = 2 * math.pi * x / width
            v = 2 * math.pi * y / height
            wave = (math.sin(3 * u + 2 * v) + 0.6 * math.sin(5 * u - 3 * v) +
                    0.4 * math.cos(2 * v)) / 2.0
            value = 0.5 + 0.5 * wave / 1.0
            pixels.append(max(0, min(255, round(value * 255))))
        pixels.extend(b'\0' * (-width % 4))
    table = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in palette)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(pixels), 2835, 2835,
                       256, 0)
    offset = 14 + len(info) + len(table)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + table + pixels)


if __name__ == '__main__':
    write_icon(os.path.join(HERE, 'quotamin.ico'))
    write_background(os.path.join(HERE, 'background.bmp'))
