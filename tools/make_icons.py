#!/usr/bin/env python3
"""Generate the icon resources of Vantri Launch.

Writes res/app.ico and res/be_fold.ico.  Each icon holds 16x16, 32x32 and
48x48 images stored as 32-bit BGRA DIBs (BITMAPINFOHEADER with a doubled
height, bottom-up XOR pixels, then a 1-bit AND mask with 32-bit aligned rows),
except the larger images of app.ico, which is built into the executable: those
are PNG streams (Windows reads them at any size since Vista), a quarter of the
bytes.

The pictures are drawn procedurally with signed distance functions and
analytic anti-aliasing.  Geometry is laid out on a 16-unit grid and scaled
by an integer factor, so straight edges stay on pixel boundaries and look
crisp at every size.  Only the Python standard library is used.

Usage: python3 tools/make_icons.py [output_dir]   (default: <repo>/res)
"""

import math
import os
import struct
import sys
import zlib

SIZES = (16, 32, 48)


# ---------------------------------------------------------------------------
# Signed distance functions (negative inside, units: pixels)
# ---------------------------------------------------------------------------

def sd_round_rect(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def f(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        ox, oy = max(qx, 0.0), max(qy, 0.0)
        return math.hypot(ox, oy) + min(max(qx, qy), 0.0) - r
    return f


def sd_polygon(pts):
    n = len(pts)

    def f(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = (wx * ex + wy * ey) / (ex * ex + ey * ey)
            t = min(max(t, 0.0), 1.0)
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y):
                xi = ax + (y - ay) * ex / ey
                if x < xi:
                    inside = not inside
        return -d if inside else d
    return f


def sd_union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def sd_intersect(*fs):
    return lambda x, y: max(f(x, y) for f in fs)


def sd_inset(f, w):
    """Shape shrunk by w pixels."""
    return lambda x, y: f(x, y) + w


# ---------------------------------------------------------------------------
# Canvas with "over" compositing (premultiplied alpha internally)
# ---------------------------------------------------------------------------

def lerp(a, b, t):
    return a + (b - a) * t


def mix(c0, c1, t):
    t = min(max(t, 0.0), 1.0)
    return tuple(lerp(a, b, t) for a, b in zip(c0, c1))


def hexc(s, a=1.0):
    s = s.lstrip("#")
    return (int(s[0:2], 16) / 255.0, int(s[2:4], 16) / 255.0,
            int(s[4:6], 16) / 255.0, a)


class Canvas:
    def __init__(self, size):
        self.size = size
        # premultiplied r, g, b, a
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def fill(self, sdf, color):
        """Fill shape `sdf` with `color` (an RGBA tuple or a function of
        (x, y) returning one).  Coverage = clamp(0.5 - distance)."""
        n = self.size
        for j in range(n):
            y = j + 0.5
            for i in range(n):
                x = i + 0.5
                d = sdf(x, y)
                if d >= 0.5:
                    continue
                cov = 1.0 if d <= -0.5 else 0.5 - d
                r, g, b, a = color(x, y) if callable(color) else color
                a *= cov
                p = self.px[j * n + i]
                k = 1.0 - a
                p[0] = r * a + p[0] * k
                p[1] = g * a + p[1] * k
                p[2] = b * a + p[2] * k
                p[3] = a + p[3] * k

    def bgra_rows(self):
        """Rows top-down of (b, g, r, a) byte tuples, straight alpha."""
        n = self.size
        rows = []
        for j in range(n):
            row = []
            for i in range(n):
                r, g, b, a = self.px[j * n + i]
                a8 = int(round(min(max(a, 0.0), 1.0) * 255))
                if a8 == 0:
                    row.append((0, 0, 0, 0))
                    continue
                inv = 1.0 / a
                row.append(tuple(int(round(min(max(c * inv, 0.0), 1.0) * 255))
                                 for c in (b, g, r)) + (a8,))
            rows.append(row)
        return rows


# ---------------------------------------------------------------------------
# Pictures
# ---------------------------------------------------------------------------

def draw_app(size):
    """Launcher icon: blue-teal rounded square with a white upward arrow."""
    k = size / 16.0
    c = Canvas(size)

    # Background tile.
    m = {16: 0, 32: 1, 48: 2}[size]
    rad = {16: 3.0, 32: 6.0, 48: 9.0}[size]
    tile = sd_round_rect(m, m, size - m, size - m, rad)
    top, bottom = hexc("#1F4FB8"), hexc("#0E9A9A")

    def grad(x, y):
        t = ((x - m) * 0.35 + (y - m) * 0.65) / (size - 2 * m)
        return mix(top, bottom, t)

    c.fill(tile, hexc("#0B2A66"))                 # dark rim
    c.fill(sd_inset(tile, 1.0 if size < 48 else 1.5), grad)

    # Soft gloss on the upper half.
    gloss = sd_intersect(sd_inset(tile, 1.0 if size < 48 else 1.5),
                         lambda x, y: y - size * 0.47)
    c.fill(gloss, lambda x, y: (1, 1, 1, 0.13 * (1 - y / (size * 0.47))))

    # Arrow (16-unit grid, scaled by k).
    head = [(8 * k, 2.5 * k), (13 * k, 8 * k), (3 * k, 8 * k)]
    stem = (6 * k, 7.5 * k, 10 * k, 13 * k)
    if size == 16:
        head = [(8, 2), (13, 8), (3, 8)]
        stem = (6, 7.5, 10, 13)

    def arrow(dx=0.0, dy=0.0):
        hp = [(x + dx, y + dy) for x, y in head]
        return sd_union(
            sd_polygon(hp),
            sd_round_rect(stem[0] + dx, stem[1] + dy, stem[2] + dx,
                          stem[3] + dy, 0.5 * k if size > 16 else 0.0))

    if size > 16:
        c.fill(arrow(0, round(k * 0.6)), (0.02, 0.10, 0.25, 0.35))   # shadow
    c.fill(arrow(), hexc("#FFFFFF"))
    return c


def draw_folder(size):
    """Classic yellow file folder on a transparent background."""
    k = size // 16          # 1, 2 or 3 -> integer grid
    c = Canvas(size)
    w = 1.0                 # outline width in pixels
    r = 1.0 * k             # corner radius

    outline = hexc("#9A6408")
    back_col = hexc("#E2A72E")
    front_top, front_bot = hexc("#FFE07A"), hexc("#F4B93A")

    # Back panel with the tab on the top left.
    body = sd_round_rect(1 * k, 3 * k, 15 * k, 14 * k, r)
    tab = sd_intersect(
        sd_polygon([(1 * k, 2 * k), (6 * k, 2 * k),
                    (7.5 * k, 3.5 * k), (7.5 * k, 5 * k), (1 * k, 5 * k)]),
        sd_round_rect(1 * k, 2 * k, 15 * k, 14 * k, r))
    back = sd_union(body, tab)
    c.fill(back, outline)
    c.fill(sd_inset(back, w),
           lambda x, y: mix(hexc("#F0BC48"), back_col, (y - 2 * k) / (3 * k)))

    # A sheet of paper peeking out (only where there is room for it).
    if size >= 32:
        paper = sd_round_rect(3 * k, 4 * k, 13 * k, 9 * k, 0.5 * k)
        c.fill(paper, hexc("#B9B2A4"))
        c.fill(sd_inset(paper, 1.0), hexc("#FBFAF6"))

    # Front flap, lighter, with its own outline.
    fy = 6
    front = sd_round_rect(1 * k, fy * k, 15 * k, 14 * k, r)
    c.fill(front, outline)
    inner = sd_inset(front, w)
    c.fill(inner, lambda x, y: mix(front_top, front_bot,
                                   (y - fy * k) / ((14 - fy) * k)))
    if size >= 32:
        # Highlight line just below the top edge of the flap.
        hl = sd_intersect(inner, lambda x, y: y - (fy * k + w + 1.0))
        c.fill(hl, hexc("#FFF3C4", 0.9))
    return c


# ---------------------------------------------------------------------------
# ICO writer
# ---------------------------------------------------------------------------

def dib_entry(canvas):
    n = canvas.size
    rows = canvas.bgra_rows()
    header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(rows):                        # bottom-up
        for px in row:
            xor += bytes(px)
    stride = ((n + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for i, px in enumerate(row):
            if px[3] == 0:                            # transparent -> 1
                line[i >> 3] |= 0x80 >> (i & 7)
        mask += line
    data = header + bytes(xor) + bytes(mask)
    # Fill in biSizeImage now that the sizes are known.
    data = data[:20] + struct.pack("<I", len(xor) + len(mask)) + data[24:]
    return data


def png_entry(canvas):
    n = canvas.size
    raw = b"".join(b"\0" + b"".join(bytes((r, g, b, a)) for (b, g, r, a) in row)
                   for row in canvas.bgra_rows())

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", n, n, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def build_ico(canvases, png_from=None):
    count = len(canvases)
    blobs = [png_entry(cv) if png_from and cv.size >= png_from else dib_entry(cv)
             for cv in canvases]
    out = bytearray(struct.pack("<HHH", 0, 1, count))
    offset = 6 + 16 * count
    for cv, blob in zip(canvases, blobs):
        dim = cv.size if cv.size < 256 else 0
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32,
                           len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = argv[1] if len(argv) > 1 else os.path.join(here, "..", "res")
    os.makedirs(outdir, exist_ok=True)
    for name, painter, png_from in (("app.ico", draw_app, 32), ("be_fold.ico", draw_folder, None)):
        data = build_ico([painter(s) for s in SIZES], png_from)
        path = os.path.join(outdir, name)
        with open(path, "wb") as fh:
            fh.write(data)
        print("wrote %s (%d bytes)" % (os.path.normpath(path), len(data)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
