#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 Ordavex developers <dev@ordavex.example.org>
# SPDX-License-Identifier: GPL-3.0-or-later

"""Makes the three compiled-in resources of res/.

- Renogare.ttf: Comfortaa Regular (SIL Open Font License, Debian package
  fonts-comfortaa) with its family renamed to "Renogare", as the Open Font
  License asks of a modified version that is not the original.
- icon.png: a row of rainbow bars of rising height on a dark square.
  The same icon at the sizes of the desktop's icon theme goes to
  data/icons/, to be installed with the program.
- velmoLogo.png: a light-grey ring with a "V" on a transparent square.

Needs python3-fonttools and fonts-comfortaa. Run from the repository root.
"""
import colorsys
import os
import shutil
import struct
import zlib

from fontTools.ttLib import TTFont

SOURCE_FONT = "/usr/share/fonts/truetype/comfortaa/Comfortaa-Regular.ttf"
SOURCE_LICENCE = "/usr/share/doc/fonts-comfortaa/copyright"
ICON_SIZES = (32, 48, 64, 128, 256, 512)


def write_png(path, size, pixel):
    """Writes an 8-bit RGBA PNG whose pixel (x, y) is pixel(x, y)."""
    rows = bytearray()
    for y in range(size):
        rows.append(0)
        for x in range(size):
            rows.extend(pixel(x, y))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(bytes(rows), 9)))
        out.write(chunk(b"IEND", b""))


def icon_pixel(x, y, size=256, bars=8):
    # Drawn on a 256-pixel grid and scaled, with whole-pixel bar slots so
    # that the small sizes stay sharp and even.
    slot_width = int(size * 26 / 256 + 0.5)
    gap = max(1, int(size * 4 / 256 + 0.5))
    inner = slot_width * bars
    margin = (size - inner) // 2
    if not (margin <= x < margin + inner and margin <= y < size - margin):
        return (26, 26, 26, 255)
    slot = (x - margin) // slot_width
    if (x - margin) % slot_width < gap:
        return (26, 26, 26, 255)
    height = inner * (slot + 1) // bars
    if y < size - margin - height:
        return (26, 26, 26, 255)
    r, g, b = colorsys.hsv_to_rgb(slot / bars, 1.0, 1.0)
    return (int(r * 255), int(g * 255), int(b * 255), 255)


def logo_pixel(x, y, size=128):
    cx = cy = size / 2 - 0.5
    dx, dy = x - cx, y - cy
    radius = (dx * dx + dy * dy) ** 0.5
    light = (204, 204, 204, 255)
    if size * 0.40 <= radius <= size * 0.48:
        return light
    # A "V": two strokes from the top corners of the ring to the bottom centre.
    top, bottom = size * 0.28, size * 0.74
    if top <= y <= bottom:
        t = (y - top) / (bottom - top)
        half_span = size * 0.22 * (1 - t)
        if abs(abs(dx) - half_span) <= size * 0.045:
            return light
    return (0, 0, 0, 0)


def rename_font(path):
    font = TTFont(SOURCE_FONT)
    names = {1: "Renogare", 2: "Regular", 3: "Renogare Regular", 4: "Renogare",
             6: "Renogare-Regular", 16: "Renogare", 17: "Regular"}
    table = font["name"]
    for record in list(table.names):
        if record.nameID in names:
            table.setName(names[record.nameID], record.nameID, record.platformID,
                          record.platEncID, record.langID)
    font.save(path)


if __name__ == "__main__":
    rename_font("res/Renogare.ttf")
    shutil.copyfile(SOURCE_LICENCE, "res/Renogare-LICENSE.txt")
    write_png("res/icon.png", 256, icon_pixel)
    os.makedirs("data/icons", exist_ok=True)
    for size in ICON_SIZES:
        write_png(f"data/icons/ordavex-{size}.png", size,
                  lambda x, y, size=size: icon_pixel(x, y, size))
    write_png("res/velmoLogo.png", 128, logo_pixel)
