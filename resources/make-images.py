#!/usr/bin/env python3
"""Draws the program's own pictures: the banner, the About picture and the icon.

Run from anywhere; writes banner.png, about.png and tarnwick.png beside this
script. Only the standard library is used, so any machine can redraw them.
"""
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# A 5 x 7 pixel font for the few letters the pictures need.
FONT = {
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'B': ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    'C': ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    'D': ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'H': ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'K': ["10001", "10010", "10100", "11000", "10100", "10010", "10001"],
    'M': ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    'N': ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'W': ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    ' ': ["00000"] * 7,
}


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.px = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                self.px[y][x] = colour

    def text(self, x, y, s, scale, colour):
        for ch in s:
            glyph = FONT[ch]
            for gy, row in enumerate(glyph):
                for gx, bit in enumerate(row):
                    if bit == '1':
                        self.rect(x + gx * scale, y + gy * scale, x + (gx + 1) * scale, y + (gy + 1) * scale, colour)
            x += 6 * scale
        return x

    def platter(self, cx, cy, r, colour, hub):
        # A disk platter seen from above: a ring with a hub and an arm.
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                d = math.hypot(x - cx, y - cy)
                if d <= r:
                    self.put(x, y, hub if d <= r * 0.22 else colour)
        for t in range(int(r * 0.95)):
            a = math.radians(-35)
            self.put(int(cx + r * 0.9 - t * math.cos(a)), int(cy - r * 0.75 + t * math.sin(a) * 0.4), hub)

    def png(self, name):
        raw = b''.join(b'\x00' + b''.join(bytes(c) for c in row) for row in self.px)

        def chunk(kind, data):
            body = kind + data
            return struct.pack('>I', len(data)) + body + struct.pack('>I', zlib.crc32(body) & 0xFFFFFFFF)

        data = (b'\x89PNG\r\n\x1a\n'
                + chunk(b'IHDR', struct.pack('>IIBBBBB', self.width, self.height, 8, 2, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(raw, 9))
                + chunk(b'IEND', b''))
        with open(os.path.join(HERE, name), 'wb') as f:
            f.write(data)


def gradient(c, top, bottom):
    for y in range(c.height):
        t = y / max(1, c.height - 1)
        colour = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
        c.rect(0, y, c.width, y + 1, colour)


NAVY, DEEP = (22, 45, 92), (10, 22, 48)
RED, GREY, WHITE = (230, 25, 25), (128, 128, 128), (255, 255, 255)

banner = Canvas(512, 47, NAVY)
gradient(banner, NAVY, DEEP)
banner.platter(24, 23, 17, (190, 196, 210), DEEP)
x = banner.text(52, 9, "TARNWICK", 3, WHITE)
banner.text(52, 35, "DISK BENCHMARK", 1, (180, 190, 215))
# The chart's two bar colours as a signature.
for i, w in enumerate((150, 110, 170, 130)):
    banner.rect(x + 24, 8 + i * 8, x + 24 + w, 8 + i * 8 + 5, RED if i % 2 == 0 else GREY)
banner.png('banner.png')

about = Canvas(80, 36, WHITE)
about.platter(18, 18, 15, (120, 130, 150), WHITE)
for i, w in enumerate((40, 28, 46, 34)):
    about.rect(38, 6 + i * 7, 38 + w, 6 + i * 7 + 4, RED if i % 2 == 0 else GREY)
about.png('about.png')

icon = Canvas(128, 128, (0, 0, 0))
gradient(icon, NAVY, DEEP)
icon.platter(64, 58, 44, (200, 206, 220), DEEP)
icon.rect(14, 108, 74, 116, RED)
icon.rect(14, 118, 100, 124, GREY)
icon.png('tarnwick.png')
