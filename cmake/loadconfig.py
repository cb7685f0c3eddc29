"""Points the LoadConfig entry of a linked program's data directories at its _load_config_used
(shell/loadconfig.cpp): this GNU ld does not fill that entry itself. The symbol's address comes
from the link's map file; the structure found there must hold its own size first.

loadconfig.py PROGRAM MAPFILE"""
import re
import struct
import sys

LOAD_CONFIG_ENTRY = 10


def main(program, mapfile):
    found = re.search(r"^\s+0x([0-9a-f]+)\s+_{1,2}load_config_used\s*$",
                      open(mapfile, encoding="latin-1").read(), re.M)
    if not found:
        sys.exit(f"{mapfile}: no _load_config_used")
    data = bytearray(open(program, "rb").read())
    header = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<HxxxxxxxxxxxxH", data, header + 6)
    optional = header + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    image_base = struct.unpack_from("<Q" if magic == 0x20B else "<I", data,
                                    optional + (24 if magic == 0x20B else 28))[0]
    directories = optional + (112 if magic == 0x20B else 96)
    rva = int(found.group(1), 16) - image_base
    table = optional + optional_size
    for index in range(sections):
        size, address, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * index + 8)
        if address <= rva < address + min(size, raw_size):
            size = struct.unpack_from("<I", data, raw + rva - address)[0]
            break
    else:
        sys.exit(f"{program}: _load_config_used at {rva:#x} lies in no section")
    # For x86 the entry says 64 bytes, as Windows XP and earlier require.
    struct.pack_into("<II", data, directories + 8 * LOAD_CONFIG_ENTRY, rva,
                     size if magic == 0x20B else 64)
    # The header's checksum, which the linker computed, covers the entry too: computed again
    # (so that a signature taken off gives back these bytes).
    checksum_at = optional + 64
    struct.pack_into("<I", data, checksum_at, 0)
    words = struct.unpack_from(f"<{len(data) // 2}H", data) + ((data[-1],) if len(data) % 2 else ())
    total = 0
    for word in words:
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    struct.pack_into("<I", data, checksum_at, ((total + (total >> 16)) & 0xFFFF) + len(data))
    open(program, "wb").write(data)


if __name__ == "__main__":
    main(*sys.argv[1:])
