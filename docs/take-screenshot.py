#!/usr/bin/env python3
"""Takes docs/screenshot.png: the program's window under Xvfb.

    docs/take-screenshot.py BUILD_DIR [program options...]

Starts Xvfb with its frame buffer in a file, starts BUILD_DIR/app/tarnwick on
it, waits a few seconds for the window to settle, and writes the part of the
screen the window covers as a PNG. Only the standard library is used.
"""
import os
import struct
import subprocess
import sys
import tempfile
import time
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
DISPLAY = ":93"
WIDTH, HEIGHT = 1280, 1024


def read_xwd(path):
    """The frame buffer as rows of (r, g, b) bytes; Xvfb writes 32-bit ZPixmap XWD."""
    data = open(path, "rb").read()
    h = struct.unpack(">25I", data[:100])
    header_size, width, height = h[0], h[4], h[5]
    byte_order, bits_per_pixel, bytes_per_line, ncolors = h[7], h[11], h[12], h[19]
    if bits_per_pixel != 32:
        sys.exit("unexpected frame buffer depth %d" % bits_per_pixel)
    offset = header_size + ncolors * 12
    rows = []
    for y in range(height):
        line = data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * 4]
        if byte_order == 0:   # least significant byte first: B G R X
            rgb = bytearray(len(line) // 4 * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
        else:
            rgb = bytearray(len(line) // 4 * 3)
            rgb[0::3], rgb[1::3], rgb[2::3] = line[1::4], line[2::4], line[3::4]
        rows.append(bytes(rgb))
    return width, height, rows


def crop_to_window(width, height, rows):
    """The bounding box of everything that is not the black root window."""
    top = next(y for y in range(height) if rows[y].strip(b"\0"))
    bottom = next(y for y in reversed(range(height)) if rows[y].strip(b"\0"))
    left = min((len(r) - len(r.lstrip(b"\0"))) // 3 for r in rows[top:bottom + 1] if r.strip(b"\0"))
    right = max((len(r.rstrip(b"\0")) + 2) // 3 for r in rows[top:bottom + 1])
    return [r[left * 3:right * 3] for r in rows[top:bottom + 1]], right - left, bottom - top + 1


def write_png(path, rows, width, height):
    def chunk(kind, payload):
        return struct.pack(">I", len(payload)) + kind + payload + struct.pack(">I", zlib.crc32(kind + payload))
    raw = b"".join(b"\0" + r for r in rows)
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    open(path, "wb").write(png)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    program = os.path.join(sys.argv[1], "app", "tarnwick")
    with tempfile.TemporaryDirectory() as fbdir:
        xvfb = subprocess.Popen(["Xvfb", DISPLAY, "-screen", "0", "%dx%dx24" % (WIDTH, HEIGHT), "-fbdir", fbdir],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(1)
            env = dict(os.environ, DISPLAY=DISPLAY)
            env.pop("QT_QPA_PLATFORM", None)
            app = subprocess.Popen([program] + sys.argv[2:], env=env)
            try:
                time.sleep(4)
                width, height, rows = read_xwd(os.path.join(fbdir, "Xvfb_screen0"))
            finally:
                app.terminate()
                app.wait(10)
        finally:
            xvfb.terminate()
            xvfb.wait(10)
    rows, width, height = crop_to_window(width, height, rows)
    out = os.path.join(HERE, "screenshot.png")
    write_png(out, rows, width, height)
    print("%s: %d x %d" % (out, width, height))


if __name__ == "__main__":
    main()
