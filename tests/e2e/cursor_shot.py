#!/usr/bin/python3
"""Saves the pointer's image as the X server shows it now (XFIXES), as a PNG.

Usage: cursor_shot.py OUT.png

Prints "cursor WxH SHA1" of its pixels, so that a scenario can tell one pointer from another
(a screenshot of the root window leaves the pointer out).
"""
import hashlib
import struct
import sys
import zlib

from Xlib import display
from Xlib.ext import xfixes  # noqa: F401  (registers the extension's requests)


def png(width, height, argb):
    rows = b"".join(
        b"\0" + b"".join(struct.pack(">I", ((p & 0xFFFFFF) << 8) | (p >> 24 & 0xFF)) for p in argb[y * width:(y + 1) * width])
        for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    d = display.Display()
    d.xfixes_query_version()  # the server answers nothing else before it
    image = d.xfixes_get_cursor_image(d.screen().root)
    pixels = [p & 0xFFFFFFFF for p in image.cursor_image]
    open(sys.argv[1], "wb").write(png(image.width, image.height, pixels))
    digest = hashlib.sha1(struct.pack("<%dI" % len(pixels), *pixels)).hexdigest()[:12]
    print("cursor %dx%d %s" % (image.width, image.height, digest))
    return 0


if __name__ == "__main__":
    sys.exit(main())
