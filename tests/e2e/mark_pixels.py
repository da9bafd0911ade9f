#!/usr/bin/python3
"""Counts the pixels of the gone mark's red (208, 0, 0) in the top-right 16 x 16 corner of
each launch button of a screenshot.

Usage: mark_pixels.py SCREENSHOT.png BUTTONS.txt   (BUTTONS.txt: vl_driver's `buttons` lines)
Prints the counts, one a button, separated by spaces.
"""
import subprocess
import sys

ppm = subprocess.run(["convert", sys.argv[1], "-depth", "8", "ppm:-"], capture_output=True, check=True).stdout
fields, i = [], 0
while len(fields) < 4:
    while ppm[i:i + 1].isspace():
        i += 1
    j = i
    while not ppm[j:j + 1].isspace():
        j += 1
    fields.append(ppm[i:j])
    i = j
width, pixels = int(fields[1]), ppm[i + 1:]
marks = []
for line in open(sys.argv[2]):
    at, size = line.split()[:2]
    x, y = map(int, at.split(","))
    w, h = map(int, size.split("x"))
    marks.append(sum(pixels[3 * (yy * width + xx):3 * (yy * width + xx) + 3] == b"\xd0\x00\x00"
                     for yy in range(y, y + 16) for xx in range(x + w - 16, x + w)))
print(" ".join(map(str, marks)))
