#!/usr/bin/env python3
"""Makes the release archive VantriLaunch-<version>-win-x64.zip of the shipped folder, and
its SHA-256 beside it in the format of sha256sum.

Usage: package.py DIST_DIR VERSION OUT_DIR

The archive holds one folder, VantriLaunch-<version>, with the shipped files of DIST_DIR
(tools/shipped-files.txt) and nothing else: a launcher run from DIST_DIR writes its own
settings file beside itself, and a user's buttons must never ship. Entries are sorted and
dated by the files, so that the same folder makes the same archive.
"""
import hashlib
import os
import sys
import zipfile

SHIPPED_LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "shipped-files.txt")


def shipped_files(dist):
    with open(SHIPPED_LIST, encoding="utf-8") as f:
        names = [line.strip() for line in f if line.strip() and not line.startswith("#")]
    for rel in sorted(names):
        path = os.path.join(dist, *rel.split("/"))
        if not os.path.isfile(path):
            sys.exit(f"{dist} has no {rel}: build the program first")
        yield path, rel


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    dist, version, out = sys.argv[1:]
    if not os.path.isfile(os.path.join(dist, "RavariVudovi.exe")):
        sys.exit(f"{dist} holds no RavariVudovi.exe: build the program first")
    top = f"VantriLaunch-{version}"
    archive = os.path.join(out, f"{top}-win-x64.zip")
    os.makedirs(out, exist_ok=True)
    with zipfile.ZipFile(archive + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for path, rel in shipped_files(dist):
            z.write(path, f"{top}/{rel}")
    os.replace(archive + ".part", archive)
    with open(archive, "rb") as f:
        digest = hashlib.sha256(f.read()).hexdigest()
    with open(archive + ".sha256", "w", newline="\n") as f:
        f.write(f"{digest}  {os.path.basename(archive)}\n")
    print(archive)


if __name__ == "__main__":
    main()
