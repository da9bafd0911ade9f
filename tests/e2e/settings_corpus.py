#!/usr/bin/python3
"""Broken settings files for settings_corpus.sh, and the check that none of their lines is lost.

  settings_corpus.py make CASE FILE     writes the settings file of a case
  settings_corpus.py get FILE SECTION KEY  prints the value the launcher reads there
  settings_corpus.py watch FILE         prints a line each time FILE is replaced (moved
                                        onto), until it is killed
  settings_corpus.py kept BEFORE AFTER  exit code 0 when every line of BEFORE that the
                                        launcher does not own is still in AFTER, byte for
                                        byte; prints what was lost

Lines are compared as bytes split at every CR, LF and CR LF, so that a file in any encoding
(or none) is compared as the launcher keeps it: untouched lines are written back as they
were read, and lines it adds follow the file's own line ends, a lone CR too. A line the
launcher owns is one of the keys it writes.
"""
import ctypes
import os
import random
import re
import struct
import sys
from collections import Counter


def crlf(text):
    return text.replace("\n", "\r\n")


def hand_made(pages, general="PageNum=3\n", extra=""):
    text = "; written by hand\n[General]\n" + general
    for n, body in pages:
        text += "[Page%d]\nLive=1\n%s" % (n, body)
    return crlf(text + extra)


CASES = {
    "empty": lambda: b"",
    # NULs, lone CRs, lead bytes of the ANSI code page without their pair, all of it.
    "binary": lambda: random.Random(14).randbytes(64 * 1024),
    "long_line": lambda: b"Note=" + b"0123456789" * (1024 * 1024),
    # A file saved as "Unicode" by an editor that writes no byte-order mark: the profile
    # functions read it as ANSI, NULs and all.
    "utf16_no_bom": lambda: hand_made([(1, "Name=ツール\nYoko=2\n"), (2, "Name=音楽\n")],
                                      "PageNum=2\n").encode("utf-16-le"),
    "pagenum_max": lambda: hand_made(
        [(1, "Name=一\n"), (2, "Name=二\nYoko=2\n"), (3, "Name=三\n")],
        "PageNum=2147483647\n", "[MyTool]\nKeep=this line\n").encode("cp932"),
    "grid_values": lambda: hand_made(
        [(1, "Name=負\nYoko=-3\nTate=0\nBtnW=-64\nBtnH=-2147483648\nFontSize=-9\nShowType=-1\n"),
         (2, "Name=巨大\nYoko=2147483647\nTate=99999999999\nBtnW=0x7FFFFFFF\nBtnH=$7FFFFFFF\n"
             "FontSize=2147483647\nFontColor=nothing\n"),
         (3, "Name=広い\nYoko=2147483647\nTate=2\nBtnW=20\nBtnH=20\n")],
        "PageNum=3\nFormTop=-2147483648\nFormLeft=2147483647\n").encode("cp932"),
    # Far more pages than anyone makes by hand, each with its own comment line.
    "many_pages": lambda: hand_made([(n, "; page %d\nName=P%d\n" % (n, n)) for n in range(1, 1001)],
                                    "PageNum=1000\n").encode("cp932"),
    "read_only": lambda: hand_made([(1, "Name=固定\n")],
                                   "PageNum=1\nFormTop=300\nFormLeft=300\n").encode("cp932"),
}

OWNED = re.compile(rb"^\s*(PageNum|FormTop|FormLeft|Live|Name|Yoko|Tate|BtnW|BtnH|ShowType|"
                   rb"FontName|FontSize|FontColor|(BtnFP|BtnName|BtnIP|WD)\d+)\s*=", re.I)


def lines(data):
    return Counter(re.split(rb"\r\n|\r|\n", data))


def watch(path):
    IN_MOVED_TO = 0x80
    libc = ctypes.CDLL("libc.so.6", use_errno=True)
    fd = libc.inotify_init1(0)
    if fd < 0 or libc.inotify_add_watch(fd, os.path.dirname(path).encode(), IN_MOVED_TO) < 0:
        return 2
    name = os.path.basename(path).encode()
    print("watching", flush=True)
    while True:
        data, at = os.read(fd, 65536), 0
        while at < len(data):
            _, mask, _, size = struct.unpack_from("iIII", data, at)
            if data[at + 16:at + 16 + size].rstrip(b"\0") == name:
                print("replaced", flush=True)
            at += 16 + size


def main():
    if sys.argv[1] == "watch":
        return watch(sys.argv[2])
    if sys.argv[1] == "make":
        open(sys.argv[3], "wb").write(CASES[sys.argv[2]]())
        return 0
    if sys.argv[1] == "get":
        section, key, current = sys.argv[3].lower().encode(), sys.argv[4].lower().encode(), None
        for l in re.split(rb"\r\n|\r|\n", open(sys.argv[2], "rb").read()):
            l = l.strip()
            if l.startswith(b"[") and b"]" in l:
                current = l[1:l.index(b"]")].strip().lower()
            elif current == section and l.split(b"=")[0].strip().lower() == key:
                print(l.split(b"=", 1)[1].strip().decode("cp932"))
                return 0
        return 1
    before = lines(open(sys.argv[2], "rb").read())
    after = lines(open(sys.argv[3], "rb").read())
    lost = [l for l, n in before.items() if l and not OWNED.match(l) and after[l] < n]
    for l in lost[:5]:
        print("lost:", l[:80])
    return 1 if lost else 0


if __name__ == "__main__":
    sys.exit(main())
