#!/usr/bin/python3
"""Reads a settings file as the launcher writes it (Shift-JIS, or UTF-16LE with a BOM).

  ini_read.py FILE                 prints every line, decoded (UTF-8)
  ini_read.py FILE SECTION KEY     prints the value; exit code 1 when the key is absent
  ini_read.py FILE --check         exit code 0 when the file is whole: it decodes, ends with
                                   a line break, and each line is a header or key=value
"""
import sys


def lines_of(path):
    data = open(path, "rb").read()
    text = data[2:].decode("utf-16-le") if data[:2] == b"\xff\xfe" else data.decode("cp932")
    return text, text.split("\r\n")


def main():
    path = sys.argv[1]
    text, lines = lines_of(path)
    if len(sys.argv) == 2:
        sys.stdout.write(text)
        return 0
    if sys.argv[2] == "--check":
        if not text.endswith("\r\n"):
            return 1
        return 0 if all(l.startswith("[") or "=" in l for l in lines[:-1]) else 1
    section, key = sys.argv[2].lower(), sys.argv[3].lower()
    current = None
    for line in lines:
        if line.startswith("[") and "]" in line:
            current = line[1:line.index("]")].strip().lower()
        elif current == section and "=" in line:
            name, value = line.split("=", 1)
            if name.strip().lower() == key:
                print(value.strip())
                return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
