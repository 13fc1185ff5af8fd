#!/usr/bin/env python3
"""Fills in the delay-import directory of a linked PE image and checks its imports.

GNU ld links the delay-import descriptors that dlltool's delay libraries carry
(section .text$2, one per library, closed by the zero descriptor in .text$3),
but leaves data directory 13 empty. This script finds the descriptors through
the link map, checks that they form one array, and enters it in the header, so
that tools and the loader see the delay-loaded libraries. It then fails the
build when the ordinary import table names a library not in --allow: such an
import would be loaded at every start.

  finish-delay-imports.py --exe kanne.exe --map kanne.map --allow KERNEL32.dll,msvcrt.dll
  finish-delay-imports.py --exe kanne.exe --list     (prints both tables)
"""
import argparse
import re
import struct
import sys

DESCRIPTOR_SIZE = 32
DELAY_IMPORT_DIRECTORY = 13
IMPORT_DIRECTORY = 1


class Image:
    def __init__(self, data):
        self.data = data
        self.header = struct.unpack_from("<I", data, 0x3C)[0]
        if data[self.header:self.header + 4] != b"PE\0\0":
            raise SystemExit("not a PE image")
        file_header = self.header + 4
        self.section_count, = struct.unpack_from("<H", data, file_header + 2)
        optional_size, = struct.unpack_from("<H", data, file_header + 16)
        self.optional = file_header + 20
        magic, = struct.unpack_from("<H", data, self.optional)
        self.pe32_plus = magic == 0x20B
        self.image_base = struct.unpack_from("<Q" if self.pe32_plus else "<I", data,
                                             self.optional + (24 if self.pe32_plus else 28))[0]
        self.checksum_offset = self.optional + 64
        self.directories = self.optional + (112 if self.pe32_plus else 96)
        self.sections = []
        table = self.optional + optional_size
        for i in range(self.section_count):
            s = table + i * 40
            virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from("<IIII", data, s + 8)
            self.sections.append((virtual_address, max(virtual_size, raw_size), raw_offset, raw_size))

    def offset(self, rva):
        for virtual_address, size, raw_offset, raw_size in self.sections:
            if virtual_address <= rva < virtual_address + size and rva - virtual_address < raw_size:
                return raw_offset + rva - virtual_address
        raise SystemExit("RVA 0x%x lies outside the image's file data" % rva)

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def text(self, rva):
        start = self.offset(rva)
        return bytes(self.data[start:self.data.index(b"\0", start)]).decode("ascii")

    def directory(self, index):
        return struct.unpack_from("<II", self.data, self.directories + index * 8)

    def set_directory(self, index, rva, size):
        struct.pack_into("<II", self.data, self.directories + index * 8, rva, size)

    def names(self, lookup):
        """The function names of an import lookup table."""
        names = []
        width = 8 if self.pe32_plus else 4
        while True:
            entry = struct.unpack_from("<Q" if self.pe32_plus else "<I", self.data, self.offset(lookup))[0]
            if not entry:
                return names
            by_ordinal = entry >> (63 if self.pe32_plus else 31)
            names.append("#%d" % (entry & 0xFFFF) if by_ordinal else self.text((entry & 0x7FFFFFFF) + 2))
            lookup += width

    def imports(self):
        """{library: [function names]} of the ordinary import table."""
        rva, _ = self.directory(IMPORT_DIRECTORY)
        found = {}
        while rva and self.u32(rva + 12):
            found[self.text(self.u32(rva + 12))] = self.names(self.u32(rva) or self.u32(rva + 16))
            rva += 20
        return found

    def delay_imports(self):
        """{library: [function names]} of the delay-import table."""
        rva, _ = self.directory(DELAY_IMPORT_DIRECTORY)
        found = {}
        while rva and self.u32(rva + 4):
            found[self.text(self.u32(rva + 4))] = self.names(self.u32(rva + 16))
            rva += DESCRIPTOR_SIZE
        return found


def checksum(image):
    """The PE checksum, as the linker computed it over the unpatched image."""
    data = bytes(image.data) + (b"\0" if len(image.data) % 2 else b"")
    words = struct.unpack("<%dH" % (len(data) // 2), data)
    skip = image.checksum_offset // 2
    total = 0
    for i, word in enumerate(words):
        if i not in (skip, skip + 1):
            total += word
            total = (total & 0xFFFF) + (total >> 16)
    return (total & 0xFFFF) + len(image.data)


def descriptor_addresses(map_text):
    addresses = [int(a, 16) for a in re.findall(r"^\s+0x([0-9a-f]+)\s+_*_DELAY_IMPORT_DESCRIPTOR_\w+\s*$",
                                                map_text, re.M)]
    end = re.findall(r"^\s+0x([0-9a-f]+)\s+_?delayImportEnd\s*$", map_text, re.M)
    return sorted(set(addresses)), int(end[0], 16) if end else None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--map")
    parser.add_argument("--allow", help="libraries the ordinary import table may name")
    parser.add_argument("--list", action="store_true", help="print the import and delay-import tables")
    options = parser.parse_args()

    with open(options.exe, "rb") as f:
        image = Image(bytearray(f.read()))
    if options.list:
        for title, table in (("imports", image.imports()), ("delay imports", image.delay_imports())):
            print("%s:" % title)
            for dll, names in table.items():
                print("  %s: %s" % (dll, " ".join(names)))
        return
    if not options.map or not options.allow:
        parser.error("--map and --allow are needed")
    with open(options.map) as f:
        addresses, end = descriptor_addresses(f.read())

    if addresses:
        if end is None:
            raise SystemExit("%s: the closing delay-import descriptor was not linked" % options.exe)
        expected = [addresses[0] + i * DESCRIPTOR_SIZE for i in range(len(addresses) + 1)]
        if addresses + [end] != expected:
            raise SystemExit("%s: the delay-import descriptors are not one array: %s, end 0x%x"
                             % (options.exe, ", ".join("0x%x" % a for a in addresses), end))
        first = addresses[0] - image.image_base
        terminator = image.offset(end - image.image_base)
        if any(image.data[terminator:terminator + DESCRIPTOR_SIZE]):
            raise SystemExit("%s: the delay-import array is not closed by a zero descriptor" % options.exe)
        for i in range(len(addresses)):
            attributes = image.u32(first + i * DESCRIPTOR_SIZE)
            name = image.text(image.u32(first + i * DESCRIPTOR_SIZE + 4))
            if attributes != 1 or not name.lower().endswith(".dll"):
                raise SystemExit("%s: delay-import descriptor %d is not one (%s)" % (options.exe, i, name))
        image.set_directory(DELAY_IMPORT_DIRECTORY, first, (len(addresses) + 1) * DESCRIPTOR_SIZE)

    allowed = {name.lower() for name in options.allow.split(",")}
    unexpected = {dll: names for dll, names in image.imports().items() if dll.lower() not in allowed}
    if unexpected:
        for dll, names in unexpected.items():
            stem = dll.lower().rsplit(".", 1)[0]
            sys.stderr.write("%s imports %s from %s at start-up; list them in cmake/delay/%s.def\n"
                             % (options.exe, ", ".join(names), dll, stem))
        raise SystemExit(1)

    if struct.unpack_from("<I", image.data, image.checksum_offset)[0]:
        struct.pack_into("<I", image.data, image.checksum_offset, checksum(image))
    with open(options.exe, "r+b") as f:
        f.write(image.data)


if __name__ == "__main__":
    main()
