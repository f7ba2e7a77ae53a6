"""Reads the resources of a Windows program (a PE file) natively, without Windows or Wine.

`read(path)` gives the file's machine and its resources; `string(resources, id)` looks up one
entry of the string tables and `version_info(resources)` decodes the version resource into
its fixed numbers and its strings. Python 3 standard library only.
"""

import struct

MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664

RT_STRING = 6
RT_VERSION = 16


class Program:
    def __init__(self, machine, resources):
        self.machine = machine
        # {(type, name, language): bytes}; type and name are ints, or strings for named ones.
        self.resources = resources


def read(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"MZ":
        raise ValueError(f"{path}: not a Windows program")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError(f"{path}: no PE header")
    machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + {0x10B: 96, 0x20B: 112}[magic]
    resource_rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)

    table = optional + optional_size
    spans = []
    for i in range(sections):
        virtual_size, address, raw_size, raw_pointer = struct.unpack_from(
            "<IIII", data, table + 40 * i + 8)
        spans.append((address, max(virtual_size, raw_size), raw_pointer))

    def offset(rva):
        for address, size, raw_pointer in spans:
            if address <= rva < address + size:
                return rva - address + raw_pointer
        raise ValueError(f"{path}: address {rva:#x} lies in no section")

    resources = {}
    if resource_rva:
        root = offset(resource_rva)
        _walk(data, root, root, [], resources, offset)
    return Program(machine, resources)


def _walk(data, root, directory, path, resources, offset):
    named, numbered = struct.unpack_from("<HH", data, directory + 12)
    for i in range(named + numbered):
        name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
        if name & 0x80000000:
            at = root + (name & 0x7FFFFFFF)
            length = struct.unpack_from("<H", data, at)[0]
            name = data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        if target & 0x80000000:
            _walk(data, root, root + (target & 0x7FFFFFFF), path + [name], resources, offset)
        else:
            rva, size = struct.unpack_from("<II", data, root + target)
            start = offset(rva)
            resources[tuple(path + [name])] = data[start:start + size]


def _of_type(resources, kind, name):
    return [blob for (t, n, _), blob in sorted(resources.items(), key=repr)
            if t == kind and n == name]


def string(resources, ident):
    """The string `ident` of the string tables (None when missing). A table block holds 16
    counted UTF-16 strings; block n holds the ids 16(n-1) to 16(n-1)+15."""
    for blob in _of_type(resources, RT_STRING, ident // 16 + 1):
        at = 0
        for index in range(16):
            length = struct.unpack_from("<H", blob, at)[0]
            if index == ident % 16:
                return blob[at + 2:at + 2 + 2 * length].decode("utf-16-le") if length else None
            at += 2 + 2 * length
    return None


class VersionInfo:
    def __init__(self, file_version, product_version, strings, translations):
        self.file_version = file_version          # (major, minor, patch, build)
        self.product_version = product_version
        self.strings = strings                    # {"FileDescription": "...", ...}
        self.translations = translations          # [(language, code page), ...]


def version_info(resources):
    """The version resource (id 1), or None."""
    blobs = _of_type(resources, RT_VERSION, 1)
    if not blobs:
        return None
    key, value, children = _node(blobs[0], 0)
    if key != "VS_VERSION_INFO":
        raise ValueError("version resource: wrong root " + repr(key))
    signature, _, fv_ms, fv_ls, pv_ms, pv_ls = struct.unpack_from("<6I", value)
    if signature != 0xFEEF04BD:
        raise ValueError("version resource: no fixed file information")

    def quad(ms, ls):
        return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    strings, translations = {}, []
    for key, _, grandchildren in children:
        for table_key, table_value, entries in grandchildren:
            if key == "StringFileInfo":
                for name, text, _ in entries:
                    strings[name] = text.decode("utf-16-le").rstrip("\0")
            elif key == "VarFileInfo" and table_key == "Translation":
                translations += [struct.unpack_from("<HH", table_value, i)
                                 for i in range(0, len(table_value), 4)]
    return VersionInfo(quad(fv_ms, fv_ls), quad(pv_ms, pv_ls), strings, translations)


def _align(at):
    return (at + 3) & ~3


def _node(blob, at):
    """One node of the version tree at `at`: (key, value bytes, [child nodes])."""
    length, value_length, kind = struct.unpack_from("<HHH", blob, at)
    end = at + length
    key_end = at + 6
    while blob[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = blob[at + 6:key_end].decode("utf-16-le")
    value_at = _align(key_end + 2)
    # Text values count UTF-16 units, binary ones bytes.
    value_size = value_length * 2 if kind == 1 else value_length
    value = blob[value_at:value_at + value_size]
    children = []
    child = _align(value_at + value_size)
    while child + 6 <= end:
        size = struct.unpack_from("<H", blob, child)[0]
        if size == 0:
            break
        children.append(_node(blob, child))
        child = _align(child + size)
    return key, value, children
