"""Reads the resources of a Windows program (a PE file) natively, without Windows or Wine.

`read(path)` gives the file's machine and its resources {(type, id, language): bytes};
`string(resources, id)` looks up one entry of the string tables and `version_info(resources)`
decodes the version resource. Python 3 standard library only.
"""

import collections
import struct

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664
RT_STRING, RT_GROUP_ICON, RT_VERSION = 6, 14, 16

Program = collections.namedtuple("Program", "machine resources")
# Fixed numbers as (major, minor, patch, build); strings {"FileDescription": ...};
# translations [(language, code page)].
VersionInfo = collections.namedtuple(
    "VersionInfo", "file_version product_version strings translations")


def read(path):
    with open(path, "rb") as f:
        data = f.read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path}: not a Windows program")
    machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    optional = pe + 24
    directories = optional + {0x10B: 96, 0x20B: 112}[struct.unpack_from("<H", data, optional)[0]]
    resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    spans = [struct.unpack_from("<IIII", data, optional + optional_size + 40 * i + 8)
             for i in range(sections)]

    def offset(rva):
        for virtual_size, address, raw_size, raw_pointer in spans:
            if address <= rva < address + max(virtual_size, raw_size):
                return rva - address + raw_pointer
        raise ValueError(f"{path}: address {rva:#x} lies in no section")

    resources = {}

    def walk(directory, path):
        named, numbered = struct.unpack_from("<HH", data, directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
            if name & 0x80000000:  # a name instead of a number: counted UTF-16
                at = root + (name & 0x7FFFFFFF)
                name = data[at + 2:at + 2 + 2 * struct.unpack_from("<H", data, at)[0]]
                name = name.decode("utf-16-le")
            if target & 0x80000000:
                walk(root + (target & 0x7FFFFFFF), path + (name,))
            else:
                rva, size = struct.unpack_from("<II", data, root + target)
                resources[path + (name,)] = data[offset(rva):offset(rva) + size]

    if resource_rva:
        root = offset(resource_rva)
        walk(root, ())
    return Program(machine, resources)


def _of_type(resources, kind, ident):
    return [blob for (t, n, _), blob in resources.items() if (t, n) == (kind, ident)]


def string(resources, ident):
    """String `ident` of the string tables, or None. Block n holds 16 counted UTF-16 strings,
    those of the ids 16(n-1) to 16(n-1)+15."""
    for blob in _of_type(resources, RT_STRING, ident // 16 + 1):
        at = 0
        for _ in range(ident % 16):
            at += 2 + 2 * struct.unpack_from("<H", blob, at)[0]
        length = struct.unpack_from("<H", blob, at)[0]
        return blob[at + 2:at + 2 + 2 * length].decode("utf-16-le") if length else None
    return None


def version_info(resources):
    """The version resource (id 1), or None."""
    blobs = _of_type(resources, RT_VERSION, 1)
    if not blobs:
        return None
    key, value, children = _node(blobs[0], 0)
    signature, _, fv_ms, fv_ls, pv_ms, pv_ls = struct.unpack_from("<6I", value)
    if key != "VS_VERSION_INFO" or signature != 0xFEEF04BD:
        raise ValueError("version resource: no fixed file information")
    strings, translations = {}, []
    for key, _, tables in children:
        for table_key, table_value, entries in tables:
            if key == "StringFileInfo":
                strings.update((name, text.decode("utf-16-le").rstrip("\0"))
                               for name, text, _ in entries)
            elif table_key == "Translation":
                translations += [struct.unpack_from("<HH", table_value, i)
                                 for i in range(0, len(table_value), 4)]
    quad = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    return VersionInfo(quad(fv_ms, fv_ls), quad(pv_ms, pv_ls), strings, translations)


def _node(blob, at):
    """The version tree's node at `at`: (key, value bytes, [child nodes]). Key, value and
    each child start on a 4-byte boundary."""
    align = lambda n: (n + 3) & ~3
    length, value_length, is_text = struct.unpack_from("<HHH", blob, at)
    key_end = at + 6
    while blob[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    value_at = align(key_end + 2)
    value_end = value_at + (value_length * 2 if is_text else value_length)
    children, child = [], align(value_end)
    while child + 6 <= at + length:
        size = struct.unpack_from("<H", blob, child)[0]
        if size == 0:
            break
        children.append(_node(blob, child))
        child = align(child + size)
    return blob[at + 6:key_end].decode("utf-16-le"), blob[value_at:value_end], children
