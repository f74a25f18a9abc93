#!/usr/bin/env python3
"""Reads the version resource of a Windows program from its file, as the system's file
properties show it: the fixed file and product versions and the strings of each language.

Usage: version_resource.py PROGRAM...

Works on any machine: no Windows, Wine or resource compiler needed, which matters because
windres can decompile a .res file but not an .exe.
"""

import struct
import sys

RT_VERSION = 16
FIXED_INFO_SIGNATURE = 0xFEEF04BD
DATA_DIRECTORY_RESOURCE = 2


class NoVersion(Exception):
    """The file is no Windows program, or it carries no version resource."""


def _align(offset):
    return (offset + 3) & ~3


def _resource_section(data):
    """(resource directory's file offset, its RVA, function from RVA to file offset)."""
    if data[:2] != b"MZ" or len(data) < 0x40:
        raise NoVersion("not a Windows program (no MZ header)")
    header = struct.unpack_from("<I", data, 0x3C)[0]
    if data[header:header + 4] != b"PE\0\0":
        raise NoVersion("not a Windows program (no PE header)")
    section_count, optional_size = struct.unpack_from("<H12xH", data, header + 6)
    optional = header + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    if magic == 0x10B:
        directories = optional + 96
    elif magic == 0x20B:
        directories = optional + 112
    else:
        raise NoVersion("unknown optional header 0x%x" % magic)
    directory_count = struct.unpack_from("<I", data, directories - 4)[0]
    if directory_count <= DATA_DIRECTORY_RESOURCE:
        raise NoVersion("no resource directory")
    rva, size = struct.unpack_from("<II", data, directories + 8 * DATA_DIRECTORY_RESOURCE)
    if rva == 0 or size == 0:
        raise NoVersion("no resources")

    sections = []
    table = optional + optional_size
    for index in range(section_count):
        virtual_size, virtual_address, raw_size, raw_offset = struct.unpack_from(
            "<IIII", data, table + 40 * index + 8)
        sections.append((virtual_address, max(virtual_size, raw_size), raw_offset))

    def file_offset(address):
        for start, length, raw in sections:
            if start <= address < start + length:
                return raw + address - start
        raise NoVersion("address 0x%x lies in no section" % address)

    return file_offset(rva), file_offset


def _first_entry(data, directory, wanted_id=None):
    """The target of the first entry of a resource directory (or the one with wanted_id):
    (is a directory, offset from the resource root)."""
    named, numbered = struct.unpack_from("<12xHH", data, directory)
    for index in range(named + numbered):
        name, target = struct.unpack_from("<II", data, directory + 16 + 8 * index)
        if wanted_id is not None and (name & 0x80000000 or name != wanted_id):
            continue
        return bool(target & 0x80000000), target & 0x7FFFFFFF
    raise NoVersion("no version resource")


def version_block(data):
    """The bytes of the program's first version resource."""
    root, file_offset = _resource_section(data)
    is_directory, offset = _first_entry(data, root, RT_VERSION)
    # Type, then name, then language; the version resource has one of each in our programs.
    for _ in range(2):
        if not is_directory:
            raise NoVersion("malformed resource directory")
        is_directory, offset = _first_entry(data, root + offset)
    if is_directory:
        raise NoVersion("malformed resource directory")
    data_rva, size = struct.unpack_from("<II", data, root + offset)
    start = file_offset(data_rva)
    return data[start:start + size]


def _text(block, start, end):
    """A NUL-terminated UTF-16 text within block[start:end] and the offset just after it."""
    stop = start
    while stop + 1 < end and block[stop:stop + 2] != b"\0\0":
        stop += 2
    return block[start:stop].decode("utf-16-le"), stop + 2


def _node(block, start):
    """One node of the version tree: (key, value bytes, is text, children, end offset)."""
    length, value_length, kind = struct.unpack_from("<HHH", block, start)
    end = start + length
    if length < 6 or end > len(block):
        raise NoVersion("malformed version resource")
    key, offset = _text(block, start + 6, end)
    offset = _align(offset)
    # A text value's length counts characters; a binary one's counts bytes.
    value_size = value_length * 2 if kind == 1 else value_length
    value = block[offset:min(offset + value_size, end)]
    offset = _align(offset + value_size)
    children = []
    while offset < end:
        child = _node(block, offset)
        children.append(child)
        offset = _align(child[4])
    return key, value, kind == 1, children, end


def _dotted(most, least):
    return "%d.%d.%d.%d" % (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)


def read_version(data):
    """{'FileVersion#': 'a.b.c.d', 'ProductVersion#': ..., 'strings': {language: {name: text}}}."""
    key, value, _, children, _ = _node(version_block(data), 0)
    if key != "VS_VERSION_INFO":
        raise NoVersion("version resource named %r" % key)
    signature, _, file_most, file_least, product_most, product_least = struct.unpack_from("<6I", value)
    if signature != FIXED_INFO_SIGNATURE:
        raise NoVersion("no fixed file information")
    strings = {}
    for child_key, _, _, tables, _ in children:
        if child_key != "StringFileInfo":
            continue
        for language, _, _, entries, _ in tables:
            strings[language] = {
                name: text.decode("utf-16-le").split("\0", 1)[0]
                for name, text, _, _, _ in entries
            }
    return {
        "FileVersion#": _dotted(file_most, file_least),
        "ProductVersion#": _dotted(product_most, product_least),
        "strings": strings,
    }


def read_version_of(path):
    with open(path, "rb") as program:
        return read_version(program.read())


def main(paths):
    if not paths:
        print("usage: version_resource.py PROGRAM...", file=sys.stderr)
        return 2
    status = 0
    for path in paths:
        try:
            version = read_version_of(path)
        except (NoVersion, OSError, struct.error) as error:
            print("%s: %s" % (path, error), file=sys.stderr)
            status = 1
            continue
        print(path)
        print("  file version (numbers):    %s" % version["FileVersion#"])
        print("  product version (numbers): %s" % version["ProductVersion#"])
        for language, entries in sorted(version["strings"].items()):
            print("  strings of %s:" % language)
            for name, text in entries.items():
                print("    %-18s %s" % (name, text))
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
