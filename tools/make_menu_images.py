#!/usr/bin/env python3
"""Generate the menu images of Vantri Launch's two popup menus.

Writes res/menu_images.bmp: one 32-bit bitmap holding 12 images of 16x16
side by side (192x16).  The file is a plain BMP with a BITMAPINFOHEADER
(biSize 40, biBitCount 32, BI_RGB, positive height, so rows are stored
bottom-up).  Pixels are BGRA with a real alpha channel (transparent
background, anti-aliased edges) and are NOT premultiplied; the program
premultiplies them when it loads the strip.

Image order (index: meaning):
   0  delete button            red X over a grey button square
   1  button properties        button square with a pencil
   2  new page                 white page, folded corner, green plus
   3  delete page              page with a red X
   4  page properties          page with text lines and a pencil
   5  watch the mouse movement mouse outline with motion lines
   6  show                     window frame with a blue title bar
   7  hide                     dimmed window frame with a downward arrow
   8  version information      blue circle with a white "i"
   9  help                     blue circle with a white "?"
  10  settings                 gear
  11  exit                     red circle with a white power symbol

The pictures are drawn with signed distance functions (negative inside,
units: pixels, y grows downwards) and anti-aliased by 8x8 supersampling.
Straight edges sit on whole pixel coordinates, so they stay crisp.
Only the Python standard library is used.

Usage: python3 tools/make_menu_images.py [output_file]
       (default: <repo>/res/menu_images.bmp)
"""

import math
import os
import struct
import sys

SIZE = 16
COUNT = 12
SUB = 8  # supersampling grid per axis


# ---------------------------------------------------------------------------
# Signed distance functions.  Every one is exact or a lower bound of the
# true distance, which lets the rasteriser skip pixels far from an edge.
# ---------------------------------------------------------------------------

def box(x0, y0, x1, y1, r=0.0):
    """Axis-aligned rectangle [x0,x1]x[y0,y1], corners rounded by r."""
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def f(x, y):
        qx = abs(x - cx) - hx
        qy = abs(y - cy) - hy
        return (math.hypot(max(qx, 0.0), max(qy, 0.0))
                + min(max(qx, qy), 0.0) - r)
    return f


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def segment(ax, ay, bx, by, hw):
    """Line from a to b, half width hw, round caps."""
    ex, ey = bx - ax, by - ay
    ll = ex * ex + ey * ey

    def f(x, y):
        wx, wy = x - ax, y - ay
        t = 0.0 if ll == 0 else min(max((wx * ex + wy * ey) / ll, 0.0), 1.0)
        return math.hypot(wx - ex * t, wy - ey * t) - hw
    return f


def arc(cx, cy, radius, a0, a1, hw):
    """Circular arc swept from angle a0 to a1 (degrees, a1 > a0, measured
    clockwise on screen from the +x axis), half width hw, round caps."""
    r0, r1 = math.radians(a0), math.radians(a1)
    p0 = (cx + radius * math.cos(r0), cy + radius * math.sin(r0))
    p1 = (cx + radius * math.cos(r1), cy + radius * math.sin(r1))
    span = r1 - r0

    def f(x, y):
        a = math.atan2(y - cy, x - cx)
        if (a - r0) % (2 * math.pi) <= span:
            return abs(math.hypot(x - cx, y - cy) - radius) - hw
        return min(math.hypot(x - p0[0], y - p0[1]),
                   math.hypot(x - p1[0], y - p1[1])) - hw
    return f


def polygon(pts):
    n = len(pts)

    def f(x, y):
        d = float("inf")
        inside = False
        for i in range(n):
            ax, ay = pts[i]
            bx, by = pts[(i + 1) % n]
            ex, ey = bx - ax, by - ay
            wx, wy = x - ax, y - ay
            t = min(max((wx * ex + wy * ey) / (ex * ex + ey * ey), 0.0), 1.0)
            d = min(d, math.hypot(wx - ex * t, wy - ey * t))
            if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
                inside = not inside
        return -d if inside else d
    return f


def union(*fs):
    return lambda x, y: min(f(x, y) for f in fs)


def intersect(*fs):
    return lambda x, y: max(f(x, y) for f in fs)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def grow(f, w):
    """Shape enlarged by w pixels (negative w shrinks it)."""
    return lambda x, y: f(x, y) - w


# ---------------------------------------------------------------------------
# Colours and the canvas
# ---------------------------------------------------------------------------

def rgb(s, a=1.0):
    s = s.lstrip("#")
    return (int(s[0:2], 16) / 255.0, int(s[2:4], 16) / 255.0,
            int(s[4:6], 16) / 255.0, a)


def vgrad(top, bottom, y0=0.0, y1=16.0):
    """Vertical gradient between two colours from y0 to y1."""
    def g(x, y):
        t = min(max((y - y0) / (y1 - y0), 0.0), 1.0)
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return g


OFFSETS = [(i + 0.5) / SUB for i in range(SUB)]
FAR = 0.75  # > half the pixel diagonal: the whole pixel is on one side


class Canvas:
    def __init__(self):
        # premultiplied r, g, b, a
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(SIZE * SIZE)]

    def fill(self, sdf, color, opacity=1.0):
        """Composite shape `sdf` over the canvas in `color` (an RGBA tuple
        or a function of (x, y) returning one)."""
        for j in range(SIZE):
            for i in range(SIZE):
                d = sdf(i + 0.5, j + 0.5)
                if d >= FAR:
                    continue
                if d <= -FAR:
                    cov = 1.0
                else:
                    hits = 0
                    for oy in OFFSETS:
                        for ox in OFFSETS:
                            if sdf(i + ox, j + oy) < 0.0:
                                hits += 1
                    cov = hits / float(SUB * SUB)
                    if cov == 0.0:
                        continue
                r, g, b, a = (color(i + 0.5, j + 0.5) if callable(color)
                              else color)
                a *= cov * opacity
                p = self.px[j * SIZE + i]
                k = 1.0 - a
                p[0] = r * a + p[0] * k
                p[1] = g * a + p[1] * k
                p[2] = b * a + p[2] * k
                p[3] = a + p[3] * k

    def outlined(self, sdf, fill, line, width=1.0):
        """Shape with a `width`-pixel outline drawn inside its edge."""
        self.fill(sdf, line)
        self.fill(grow(sdf, -width), fill)

    def bgra(self, i, j):
        """Straight-alpha (b, g, r, a) bytes of pixel (i, j)."""
        r, g, b, a = self.px[j * SIZE + i]
        a8 = int(round(min(max(a, 0.0), 1.0) * 255))
        if a8 == 0:
            return (0, 0, 0, 0)
        return tuple(int(round(min(max(c / a, 0.0), 1.0) * 255))
                     for c in (b, g, r)) + (a8,)


# ---------------------------------------------------------------------------
# Shared parts
# ---------------------------------------------------------------------------

OUTLINE = rgb("#3C3F48")
PAGE_LINE = rgb("#5A5E6A")
RED = vgrad(rgb("#F0524A"), rgb("#C4161C"), 8, 15)
RED_DARK = rgb("#7A0A0E")
BLUE_DISC = vgrad(rgb("#5AA2F0"), rgb("#1555B8"), 1, 15)
BLUE_DARK = rgb("#0B3A80")
WHITE = rgb("#FFFFFF")


def button_square(c):
    """A raised grey button, 13x13 in the top-left corner."""
    c.outlined(box(0, 1, 13, 14, 1.0),
               vgrad(rgb("#F2F2F2"), rgb("#C2C4C8"), 2, 13), OUTLINE)
    c.fill(box(2, 2, 12, 3), WHITE, 0.9)       # highlight, top
    c.fill(box(1, 2, 2, 12), WHITE, 0.9)       # highlight, left
    c.fill(box(2, 12, 12, 13), rgb("#8E9096"), 0.8)  # shade, bottom
    c.fill(box(11, 3, 12, 12), rgb("#8E9096"), 0.8)  # shade, right


def page(c, lines=False):
    """A white sheet with its top-right corner folded down."""
    c.outlined(polygon([(2, 0), (9, 0), (14, 5), (14, 16), (2, 16)]),
               vgrad(WHITE, rgb("#E8ECF2"), 1, 15), PAGE_LINE)
    c.fill(polygon([(9, 0), (9, 5), (14, 5)]), rgb("#CDD3DC"))
    c.fill(box(9, 0, 10, 5), PAGE_LINE)
    c.fill(box(9, 4, 14, 5), PAGE_LINE)
    if lines:
        for y, x1 in ((3, 8), (6, 12), (8, 12), (10, 12), (12, 9), (14, 9)):
            c.fill(box(4, y, x1, y + 1), rgb("#8A98B0"))


def red_x(c, cx=11.5, cy=11.5, r=2.5):
    """A red diagonal cross with a dark rim."""
    a = segment(cx - r, cy - r, cx + r, cy + r, 0.0)
    b = segment(cx + r, cy - r, cx - r, cy + r, 0.0)
    c.fill(grow(union(a, b), 2.1), RED_DARK)
    c.fill(grow(union(a, b), 1.15), RED)


def pencil(c, tip=(5.0, 15.0), back=(13.8, 6.2), hw=1.7):
    """A pencil lying on the diagonal, point at `tip`."""
    tx, ty = tip
    length = math.hypot(back[0] - tx, back[1] - ty)
    ux, uy = (back[0] - tx) / length, (back[1] - ty) / length
    nx, ny = -uy, ux

    def at(t, s):
        return (tx + ux * t + nx * s, ty + uy * t + ny * s)

    def band(t0, t1, w=hw):
        return polygon([at(t0, -w), at(t1, -w), at(t1, w), at(t0, w)])

    cone = 4.0
    whole = union(polygon([at(0, 0), at(cone, -hw), at(cone, hw)]),
                  band(cone, length))
    c.fill(grow(whole, 0.9), rgb("#2E2A26"))
    c.fill(polygon([at(0, 0), at(cone, -hw), at(cone, hw)]), rgb("#F3D3A1"))
    c.fill(polygon([at(0, 0), at(1.6, -hw * 0.4), at(1.6, hw * 0.4)]),
           rgb("#2E2A26"))
    c.fill(band(cone, length - 3.0, hw), rgb("#F7B52C"))
    c.fill(band(cone, length - 3.0, hw * 0.35), rgb("#FFD66B"))
    c.fill(band(length - 3.0, length - 1.8), rgb("#A9ADB5"))
    c.fill(band(length - 1.8, length), rgb("#E86A7A"))


def title_window(c, x0, y0, x1, y1, title, client, frame, opacity=1.0):
    """A window: 1-px frame, 3-px title bar, client area."""
    c.fill(box(x0, y0, x1, y1), frame, opacity)
    c.fill(box(x0 + 1, y0 + 1, x1 - 1, y0 + 4), title, opacity)
    c.fill(box(x0 + 1, y0 + 4, x1 - 1, y1 - 1), client, opacity)


def blue_disc(c):
    c.outlined(circle(8, 8, 7.5), BLUE_DISC, BLUE_DARK)
    # soft gloss on the upper half
    c.fill(intersect(circle(8, 8, 6.5), circle(8, 2.5, 5.0)), WHITE, 0.15)


# ---------------------------------------------------------------------------
# The twelve pictures
# ---------------------------------------------------------------------------

def img_delete_button(c):
    button_square(c)
    red_x(c)


def img_button_properties(c):
    button_square(c)
    pencil(c)


def img_new_page(c):
    page(c)
    plus = union(box(10, 7, 13, 16), box(7, 10, 16, 13))
    c.fill(union(box(9, 6, 14, 16), box(6, 9, 16, 14)), rgb("#145A1A"))
    c.fill(plus, vgrad(rgb("#5CCB4A"), rgb("#23912A"), 7, 16))


def img_delete_page(c):
    page(c)
    red_x(c)


def img_page_properties(c):
    page(c, lines=True)
    pencil(c)


def img_watch_mouse(c):
    body = box(6, 1, 15, 15, 4.5)
    c.outlined(body, vgrad(WHITE, rgb("#C9CED8"), 2, 15), OUTLINE)
    inner = grow(body, -1)
    # left button pressed/highlighted, dividers between the buttons
    c.fill(intersect(inner, box(6, 1, 10, 6)), rgb("#6FA8EE"))
    c.fill(intersect(inner, box(10, 1, 11, 6)), OUTLINE)
    c.fill(intersect(inner, box(6, 6, 15, 7)), OUTLINE)
    # motion streaks on the left
    streak = rgb("#3A78D0")
    c.fill(box(1, 5, 5, 6), streak)
    c.fill(box(0, 8, 5, 9), streak)
    c.fill(box(2, 11, 5, 12), streak)


def img_show(c):
    title_window(c, 0, 1, 16, 15,
                 vgrad(rgb("#4E94F0"), rgb("#1A5CC8"), 2, 5),
                 WHITE, OUTLINE)
    # caption buttons
    c.fill(box(13, 3, 14, 4), WHITE)
    c.fill(box(11, 3, 12, 4), WHITE)


def img_hide(c):
    title_window(c, 0, 0, 13, 11, rgb("#A4AAB4"), rgb("#EEF0F3"),
                 rgb("#7C828C"), 0.85)
    arrow = union(box(11, 5, 13, 10),
                  polygon([(8.6, 9), (15.4, 9), (12, 12.4)]))
    c.fill(grow(arrow, 1.0), BLUE_DARK)
    c.fill(arrow, vgrad(rgb("#7CB8FF"), rgb("#2168D8"), 5, 13))
    c.fill(box(8, 15, 16, 16), BLUE_DARK)  # where it goes: the bottom


def img_version(c):
    blue_disc(c)
    c.fill(box(7, 3, 9, 5, 0.6), WHITE)        # dot
    c.fill(box(6, 6, 9, 7), WHITE)             # top serif
    c.fill(box(7, 6, 9, 12), WHITE)            # stem
    c.fill(box(6, 11, 10, 13), WHITE)          # foot


def img_help(c):
    blue_disc(c)
    # hook: 2-px stroke whose top and sides fall on whole pixels
    hw = 1.0
    cx, cy, r = 8.0, 6.0, 3.0
    end = math.radians(30)
    ex, ey = cx + r * math.cos(end), cy + r * math.sin(end)
    mark = union(arc(cx, cy, r, 180, 390, hw),
                 segment(ex, ey, 8.0, 9.0, hw),
                 segment(8.0, 9.0, 8.0, 9.4, hw))
    c.fill(mark, WHITE)
    c.fill(box(7, 11, 9, 13, 0.6), WHITE)


def gear_shape(cx, cy, r_body, r_tooth, tooth_hw, teeth, r_hole):
    parts = [circle(cx, cy, r_body)]
    for k in range(teeth):
        a = 2.0 * math.pi * k / teeth
        ux, uy = math.cos(a), math.sin(a)
        nx, ny = -uy, ux
        pts = []
        for t, s in ((r_body - 1.0, -tooth_hw), (r_tooth, -tooth_hw),
                     (r_tooth, tooth_hw), (r_body - 1.0, tooth_hw)):
            pts.append((cx + ux * t + nx * s, cy + uy * t + ny * s))
        parts.append(polygon(pts))
    return subtract(union(*parts), circle(cx, cy, r_hole))


def img_settings(c):
    # Grown by half a pixel, the upright and level teeth span 6..10 and
    # 0..16 exactly, so their outline and 2-px face are crisp.
    g = grow(gear_shape(8, 8, 5.0, 7.5, 1.5, 8, 2.5), 0.5)
    c.outlined(g, vgrad(rgb("#E4E7EC"), rgb("#8A93A0"), 1, 15),
               rgb("#30343C"))


def img_exit(c):
    c.outlined(circle(8, 8, 7.5),
               vgrad(rgb("#F25C4E"), rgb("#B8121A"), 1, 15), RED_DARK)
    c.fill(intersect(circle(8, 8, 6.5), circle(8, 2.5, 5.0)), WHITE, 0.15)
    c.fill(union(arc(8, 8, 4.0, 320, 580, 1.0),
                 box(7, 2.5, 9, 8.5, 0.8)), WHITE)


IMAGES = [
    img_delete_button,
    img_button_properties,
    img_new_page,
    img_delete_page,
    img_page_properties,
    img_watch_mouse,
    img_show,
    img_hide,
    img_version,
    img_help,
    img_settings,
    img_exit,
]
assert len(IMAGES) == COUNT


# ---------------------------------------------------------------------------
# BMP output
# ---------------------------------------------------------------------------

def bmp_bytes(canvases):
    width, height = SIZE * len(canvases), SIZE
    pixels = bytearray()
    for j in reversed(range(height)):  # bottom-up
        for c in canvases:
            for i in range(SIZE):
                pixels.extend(c.bgra(i, j))
    info = struct.pack("<IiiHHIIiiII",
                       40,            # biSize
                       width,         # biWidth
                       height,        # biHeight (positive: bottom-up)
                       1,             # biPlanes
                       32,            # biBitCount
                       0,             # biCompression = BI_RGB
                       len(pixels),   # biSizeImage
                       2835, 2835,    # 72 dpi
                       0, 0)          # biClrUsed, biClrImportant
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + bytes(pixels)


def main(argv):
    if len(argv) > 1:
        out = argv[1]
    else:
        root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
        out = os.path.join(root, "res", "menu_images.bmp")
    canvases = []
    for draw in IMAGES:
        c = Canvas()
        draw(c)
        canvases.append(c)
    data = bmp_bytes(canvases)
    with open(out, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes, %d images)" % (out, len(data), len(canvases)))


if __name__ == "__main__":
    main(sys.argv)
