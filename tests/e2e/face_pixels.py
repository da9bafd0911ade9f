#!/usr/bin/python3
"""Reads launch-button faces off a screenshot, a binary PPM on standard input.

  face_pixels.py lines EM X,Y,W,H .. for each button (screen rectangle), its lines of text:
                                     the height from the first row of caption pixels
                                     (black, or the blue of the button under the pointer)
                                     to the last, in lines of a font EM pixels high (a
                                     glyph's own gaps, as in 「 or 電, split no line)
  face_pixels.py grey X,Y,W,H ...    for each button, the grey pixels inside its frame
                                     (a placeholder's text; the frame's own shades are left
                                     out by an inset)
  face_pixels.py gap INSET X,Y,W,H   for each button, the caption pixels on the ring one
                                     pixel inside its focus mark (which runs INSET pixels
                                     from the edge): the gap the caption must leave
  face_pixels.py pixel X Y           the colour at a point, as RRGGBB

Prints one figure per button, separated by spaces.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from screen_find import read_ppm  # noqa: E402


def main():
    w, h, px = read_ppm(sys.stdin.buffer.read())

    def at(x, y):
        i = 3 * (y * w + x)
        return px[i], px[i + 1], px[i + 2]

    def ink(r, g, b):  # black, or the blue of the button under the pointer
        return max(r, g, b) < 110 or (b > 150 and r < 100 and g < 100)

    mode = sys.argv[1]
    if mode == "pixel":
        print("%02x%02x%02x" % at(int(sys.argv[2]), int(sys.argv[3])))
        return
    out = []
    rects = sys.argv[2:]
    if mode in ("lines", "gap"):
        em, rects = float(rects[0]), rects[1:]
    for rect in rects:
        x0, y0, bw, bh = (int(v) for v in rect.split(","))
        inset = max(6, bw // 10)
        rows = range(y0 + inset, y0 + bh - inset)
        cols = range(x0 + inset, x0 + bw - inset)
        if mode == "gap":
            k = int(em) + 1
            ring = [(x, y) for x in range(x0 + k, x0 + bw - k) for y in (y0 + k, y0 + bh - 1 - k)]
            ring += [(x, y) for y in range(y0 + k, y0 + bh - k) for x in (x0 + k, x0 + bw - 1 - k)]
            out.append(str(sum(1 for x, y in ring if ink(*at(x, y)))))
        elif mode == "lines":
            inked = [y for y in rows if any(ink(*at(x, y)) for x in cols)]
            span = inked[-1] - inked[0] + 1 if inked else 0
            # One line's ink is at most the em; two lines' at least an em and a half.
            out.append(str(0 if not inked else 1 if span <= 1.3 * em else 2))
        elif mode == "grey":
            out.append(str(sum(1 for y in rows for x in cols
                               if (lambda p: p[0] == p[1] == p[2] and p[0] < 200)(at(x, y)))))
        else:
            sys.exit("unknown mode " + mode)
    print(" ".join(out))


main()
