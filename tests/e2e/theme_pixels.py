#!/usr/bin/python3
"""Reads the launcher's colours off a screenshot, a binary PPM on standard input.

  theme_pixels.py mean X,Y,W,H        the mean luma of the rectangle (Rec. 709 weights of the
                                      8-bit values), in per cent of white
  theme_pixels.py captions X,Y,W,H .. for each button: its face (the commonest colour inside
                                      the marks along its edge), its caption's ink (the pixel
                                      there of the greatest contrast with the face, the top
                                      right corner of the gone mark left out) and the WCAG 2
                                      contrast of the two: "FACE/INK/RATIO", colours as RRGGBB
  theme_pixels.py pixel X Y           the colour at a point, as RRGGBB
  theme_pixels.py contrast C1 C2      the WCAG 2 contrast of two RRGGBB colours
"""
import collections
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from screen_find import read_ppm  # noqa: E402


def luminance(c):
    def lin(v):
        v /= 255
        return v / 12.92 if v <= 0.03928 else ((v + 0.055) / 1.055) ** 2.4
    return 0.2126 * lin(c[0]) + 0.7152 * lin(c[1]) + 0.0722 * lin(c[2])


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def hexa(c):
    return "%02x%02x%02x" % tuple(c)


def parse(s):
    return tuple(int(s[i:i + 2], 16) for i in (0, 2, 4))


def main():
    mode = sys.argv[1]
    if mode == "contrast":
        print("%.2f" % contrast(parse(sys.argv[2]), parse(sys.argv[3])))
        return
    w, _, px = read_ppm(sys.stdin.buffer.read())

    def at(x, y):
        i = 3 * (y * w + x)
        return tuple(px[i:i + 3])

    if mode == "pixel":
        print(hexa(at(int(sys.argv[2]), int(sys.argv[3]))))
        return
    out = []
    for rect in sys.argv[2:]:
        x0, y0, bw, bh = (int(v) for v in rect.split(","))
        if mode == "mean":
            total = sum(0.2126 * r + 0.7152 * g + 0.0722 * b
                        for y in range(y0, y0 + bh) for x in range(x0, x0 + bw) for r, g, b in [at(x, y)])
            out.append("%.1f" % (100 * total / (255 * bw * bh)))
            continue
        # Inside the search's frame and the focus mark; the gone mark's corner left out.
        inside = [at(x, y) for y in range(y0 + 6, y0 + bh - 6) for x in range(x0 + 6, x0 + bw - 6)
                  if not (x >= x0 + bw - 18 and y < y0 + 18)]
        face = collections.Counter(inside).most_common(1)[0][0]
        ink = max(inside, key=lambda c: contrast(c, face))
        out.append("%s/%s/%.2f" % (hexa(face), hexa(ink), contrast(face, ink)))
    print(" ".join(out))


main()
