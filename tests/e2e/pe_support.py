"""A program's resources read back from its PE file: its version block and its icon."""
import struct
from pathlib import Path

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16


def resources(exe):
    """{(type, id): bytes} of a PE file's resources (each in its first language)."""
    data = Path(exe).read_bytes()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from(
        "<H", data, pe + 20)[0]
    optional = pe + 24
    directories = optional + (96 if struct.unpack_from("<H", data, optional)[0] == 0x10B else 112)
    sections = [struct.unpack_from("<4I", data, optional + optional_size + 40 * i + 8)
                for i in range(count)]  # virtual size, address, raw size, raw offset

    def offset(rva):
        return next(raw + rva - va for size, va, raw_size, raw in sections
                    if va <= rva < va + max(size, raw_size))

    base = offset(struct.unpack_from("<I", data, directories + 2 * 8)[0])  # the resource table

    def entries(at):
        named, ids = struct.unpack_from("<2H", data, base + at + 12)
        return [struct.unpack_from("<2I", data, base + at + 16 + 8 * i) for i in range(named + ids)]

    found = {}
    for kind, names in entries(0):
        for name, languages in entries(names & 0x7FFFFFFF):
            rva, size = struct.unpack_from("<2I", data, base + entries(languages & 0x7FFFFFFF)[0][1])
            found[(kind, name)] = data[offset(rva):offset(rva) + size]
    return found


def icon_images(exe):
    """The images of the program's first icon, in its order: as an .ico file holds them."""
    found = resources(exe)
    group = next(v for (kind, _), v in sorted(found.items()) if kind == RT_GROUP_ICON)
    count = struct.unpack_from("<H", group, 4)[0]
    return [found[(RT_ICON, struct.unpack_from("<H", group, 6 + 14 * i + 12)[0])]
            for i in range(count)]


def ico_images(ico):
    data = Path(ico).read_bytes()
    count = struct.unpack_from("<H", data, 4)[0]
    return [data[at:at + size] for size, at in
            (struct.unpack_from("<2I", data, 6 + 16 * i + 8) for i in range(count))]


def version_block(exe):
    """A PE file's version block: (file version, product version, {string name: text})."""
    block = resources(exe)[(RT_VERSION, 1)]
    # Each node: length, value length, text or not, its name (UTF-16), its value, its children;
    # name, value and children begin on four-byte boundaries.
    fixed, texts = None, {}

    def walk(at, end):
        nonlocal fixed
        while at < end:
            length, value_length, text = struct.unpack_from("<3H", block, at)
            name_end = at + 6
            while block[name_end:name_end + 2] != b"\0\0":
                name_end += 2
            name = block[at + 6:name_end].decode("utf-16-le")
            value_at = (name_end + 5) & ~3
            value = block[value_at:value_at + value_length * (2 if text else 1)]
            if name == "VS_VERSION_INFO":
                ms, ls, product_ms, product_ls = struct.unpack_from("<4I", value, 8)
                fixed = [(high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)
                         for high, low in ((ms, ls), (product_ms, product_ls))]
            elif text and value:
                texts[name] = value.decode("utf-16-le").rstrip("\0")
            walk((value_at + len(value) + 3) & ~3, at + length)
            at = (at + length + 3) & ~3

    walk(0, len(block))
    return fixed[0], fixed[1], texts
