#!/usr/bin/env python3
"""Checks the shipped executable's PE header: the loader's protections are on and every DLL
it imports comes from the system folder whatever the search order.

Usage: pe_header.py RavariVudovi.exe
 - ASLR with high entropy (64-bit addresses), DEP, terminal-server awareness, and the
   relocations that ASLR needs (a stripped executable without them cannot move);
 - each imported DLL is one that Windows maps from the system folder by name (the
   KnownDLLs), or the common controls that the manifest takes from the side-by-side store:
   any other name would be looked up beside the executable before its first statement;
 - the loader restriction made by the program's first statements is in its imports;
 - the manifest declares the program long-path aware;
 - the file is at most 576 KB: one use of a heavy part of the C++ library (std::filesystem,
   iostreams, printf, std::thread) brings in hundreds of kilobytes unseen. The program's own
   code is most of what there is (about 520 KB before the buttons learned arguments, window
   sizes, shell names and the shell's drop); the bound leaves room for its own growth only.
"""
import re
import struct
import sys

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
DLLCHARS = {
    0x0020: "HIGH_ENTROPY_VA",
    0x0040: "DYNAMIC_BASE",
    0x0100: "NX_COMPAT",
    0x8000: "TERMINAL_SERVER_AWARE",
}
# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs of Windows 10 and 11.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "combase.dll", "comdlg32.dll", "coml2.dll", "difxapi.dll",
    "gdi32.dll", "gdiplus.dll", "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll",
    "msvcrt.dll", "normaliz.dll", "nsi.dll", "ole32.dll", "oleaut32.dll", "psapi.dll",
    "rpcrt4.dll", "sechost.dll", "setupapi.dll", "shcore.dll", "shell32.dll", "shlwapi.dll",
    "user32.dll", "wldap32.dll", "ws2_32.dll",
}
MAX_BYTES = 576 * 1024
COMMON_CONTROLS_6 = b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"'
LONG_PATH_AWARE = re.compile(
    rb'<longPathAware xmlns="http://schemas.microsoft.com/SMI/2016/WindowsSettings">\s*true\s*</longPathAware>')


def main(path):
    data = open(path, "rb").read()
    failures = []

    def u16(o):
        return struct.unpack_from("<H", data, o)[0]

    def u32(o):
        return struct.unpack_from("<I", data, o)[0]

    if data[:2] != b"MZ":
        sys.exit(f"{path}: not an executable")
    pe = u32(0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"{path}: no PE signature")
    coff = pe + 4
    sections, opt_size, characteristics = u16(coff + 2), u16(coff + 16), u16(coff + 18)
    opt = coff + 20
    if u16(opt) != 0x20B:
        failures.append("not a 64-bit (PE32+) image")
    dll_chars = u16(opt + 70)
    dirs = opt + 112

    def directory(index):
        return u32(dirs + 8 * index), u32(dirs + 8 * index + 4)

    table = opt + opt_size
    spans = [(u32(s + 12), max(u32(s + 8), u32(s + 16)), u32(s + 20))
             for s in (table + 40 * i for i in range(sections))]

    def offset(rva):
        for va, size, raw in spans:
            if va <= rva < va + size:
                return raw + rva - va
        raise ValueError(f"RVA {rva:#x} in no section")

    def cstr(o):
        return data[o:data.index(b"\0", o)].decode("ascii")

    for bit, name in DLLCHARS.items():
        if not dll_chars & bit:
            failures.append(f"{name} is not set (DllCharacteristics {dll_chars:#06x})")
    if characteristics & IMAGE_FILE_RELOCS_STRIPPED or directory(5)[1] == 0:
        failures.append("no base relocations: the image cannot be moved, whatever DYNAMIC_BASE says")

    imports = {}
    rva, _ = directory(1)
    o = offset(rva)
    while any(data[o:o + 20]):
        lookup, name_rva, first = u32(o), u32(o + 12), u32(o + 16)
        functions = []
        t = offset(lookup or first)
        while True:
            entry = struct.unpack_from("<Q", data, t)[0]
            if entry == 0:
                break
            if not entry >> 63:
                functions.append(cstr(offset(entry & 0x7FFFFFFF) + 2))
            t += 8
        imports[cstr(offset(name_rva)).lower()] = functions
        o += 20

    for dll in sorted(imports):
        if dll in KNOWN_DLLS:
            continue
        if dll == "comctl32.dll" and COMMON_CONTROLS_6 in data:
            continue
        failures.append(f"imports {dll}, which Windows would look for beside the executable first")
    for fn in ("SetDefaultDllDirectories", "SetDllDirectoryW"):
        if fn not in imports.get("kernel32.dll", []):
            failures.append(f"does not call {fn}: the loader restriction is missing")

    if not LONG_PATH_AWARE.search(data):
        failures.append("the manifest does not declare longPathAware")

    if len(data) > MAX_BYTES:
        failures.append(f"{len(data)} bytes, more than {MAX_BYTES}")

    print(f"{path}: {len(data)} bytes; DllCharacteristics {dll_chars:#06x}; imports {', '.join(sorted(imports))}")
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
