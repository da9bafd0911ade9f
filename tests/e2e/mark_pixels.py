#!/usr/bin/python3
"""Counts the pixels of the gone mark's red (208, 0, 0) in the top-right 16 x 16 corner of
each launch button of a screenshot.

Usage: mark_pixels.py SCREENSHOT.png BUTTONS.txt   (BUTTONS.txt: vl_driver's `buttons` lines)
Prints the counts, one a button, separated by spaces.
"""
import os
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from screen_find import read_ppm  # noqa: E402

ppm = subprocess.run(["convert", sys.argv[1], "-depth", "8", "ppm:-"], capture_output=True, check=True).stdout
width, _, pixels = read_ppm(ppm)
marks = []
for line in open(sys.argv[2]):
    at, size = line.split()[:2]
    x, y = map(int, at.split(","))
    w, h = map(int, size.split("x"))
    marks.append(sum(pixels[3 * (yy * width + xx):3 * (yy * width + xx) + 3] == b"\xd0\x00\x00"
                     for yy in range(y, y + 16) for xx in range(x + w - 16, x + w)))
print(" ".join(map(str, marks)))
