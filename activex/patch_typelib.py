#!/usr/bin/env python3
"""Sets the version and type flags of one type in a compiled type library.

widl refuses `version` and `nonextensible` on a dispinterface, though a type library
can carry both. This writes them into the library widl made, in place:

    patch_typelib.py LIBRARY.tlb GUID MAJOR.MINOR FLAG...

FLAG is a TYPEFLAGS name without its prefix, e.g. NONEXTENSIBLE.
"""
import struct
import sys
import uuid

TYPEFLAGS = {"HIDDEN": 0x10, "NONEXTENSIBLE": 0x80, "CONTROL": 0x20, "DUAL": 0x40}
HEADER_SIZE = 0x54  # the fixed header of an MSFT type library
HELPDLL_FLAG = 0x100
SEGMENTS = 15  # the segment directory's entries, 16 bytes each
TYPEINFO_SIZE = 0x64
TYPEINFO_POSGUID, TYPEINFO_FLAGS, TYPEINFO_VERSION = 0x2C, 0x30, 0x38


def read_int(data, offset):
    return struct.unpack_from("<i", data, offset)[0]


def typeinfo_offsets(data):
    if data[:4] != b"MSFT":
        sys.exit("patch_typelib: not an MSFT type library")
    varflags, count = read_int(data, 0x14), read_int(data, 0x20)
    directory = HEADER_SIZE + (4 if varflags & HELPDLL_FLAG else 0) + 4 * count
    segment = lambda index: read_int(data, directory + 16 * index)
    typeinfos, guids = segment(0), segment(5)
    return [typeinfos + i * TYPEINFO_SIZE for i in range(count)], guids


def main(path, guid, version, *flags):
    data = bytearray(open(path, "rb").read())
    wanted = uuid.UUID(guid).bytes_le
    major, minor = (int(part) for part in version.split("."))
    entries, guids = typeinfo_offsets(data)
    for entry in entries:
        posguid = read_int(data, entry + TYPEINFO_POSGUID)
        if posguid >= 0 and data[guids + posguid:guids + posguid + 16] == wanted:
            struct.pack_into("<I", data, entry + TYPEINFO_VERSION, major | minor << 16)
            old = read_int(data, entry + TYPEINFO_FLAGS)
            new = old
            for flag in flags:
                new |= TYPEFLAGS[flag]
            struct.pack_into("<i", data, entry + TYPEINFO_FLAGS, new)
            open(path, "wb").write(data)
            return
    sys.exit(f"patch_typelib: no type {guid} in {path}")


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
