#!/usr/bin/python3
"""Finds things on a screenshot, a binary PPM on standard input (import -depth 8 ppm:-).

  screen_find.py magenta     the middle of the pure magenta pixels (a test icon)
  screen_find.py tray-icon   the middle of what differs from the taskbar's own colour at
                             its right end (the notification area's only icon)

Prints "x y"; exit code 1 when nothing is found.
"""
import collections
import sys


def read_ppm(data):
    fields, i = [], 0
    while len(fields) < 4:
        while data[i:i + 1].isspace():
            i += 1
        j = i
        while not data[j:j + 1].isspace():
            j += 1
        fields.append(data[i:j])
        i = j
    return int(fields[1]), int(fields[2]), data[i + 1:]


def middle(points, least):
    if len(points) < least:
        sys.exit(1)
    xs, ys = [x for x, _ in points], [y for _, y in points]
    print((min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2)


def main():
    width, height, pixels = read_ppm(sys.stdin.buffer.read())
    colour = lambda x, y: pixels[3 * (y * width + x):3 * (y * width + x) + 3]
    if sys.argv[1] == "magenta":
        found, at = [], pixels.find(b"\xff\x00\xff")
        while at != -1:
            if at % 3 == 0:
                found.append((at // 3 % width, at // 3 // width))
            at = pixels.find(b"\xff\x00\xff", at + 1)
        middle(found, 16)
    elif sys.argv[1] == "tray-icon":
        area = [(x, y) for y in range(height - 18, height) for x in range(width - 40, width)]
        background = collections.Counter(colour(x, y) for x, y in area).most_common(1)[0][0]
        middle([(x, y) for x, y in area if colour(x, y) != background], 30)
    else:
        print(__doc__, file=sys.stderr)
        sys.exit(2)


if __name__ == "__main__":
    main()
