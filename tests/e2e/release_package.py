"""Runs scripts/package.sh into a folder of a test's own and reads what it wrote.

`package(dist, env)` makes a release in dist from the build trees beside the scripts (as
scripts/test.sh left them); `files(dist)` maps every file below dist to its bytes;
`pe_header(data)` gives a program's link time stamp, check sum and signature table;
`without_signature(data)` gives a signed program as it was before signing.

Environment: LUMORA_SCRIPTS (the repository's scripts/), LUMORA_VERSION.
Python 3 standard library only.
"""

import collections
import os
import struct
import subprocess

SCRIPTS = os.environ.get("LUMORA_SCRIPTS", os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
TOP = os.path.abspath(os.path.join(SCRIPTS, ".."))
VERSION = os.environ.get("LUMORA_VERSION", "")
BUILDS = {flavour: os.path.join(TOP, "build", flavour) for flavour in ("win32", "win64")}
# The release's files, relative to its folder.
SETUP = f"Lumora-{VERSION}-setup.exe"
SETUP64 = f"Lumora-{VERSION}-x64-setup.exe"
ARCHIVE = f"Lumora-{VERSION}-win.zip"
ZIPPED_PROGRAMS = {"win32": f"Lumora-{VERSION}/32-bit/lumora.scr",
                   "win64": f"Lumora-{VERSION}/64-bit/lumora.scr"}

# Making a release from built trees: mostly makensis.
PACKAGE_TIMEOUT = 240

PeHeader = collections.namedtuple("PeHeader", "time_stamp checksum_at checksum security_at signature")


def package(dist, env=None, umask=None):
    """scripts/package.sh with LUMORA_DIST=dist and env on top of this environment (a value
    of None removes that variable), under umask if given; the finished process, its output
    in .stdout as text."""
    run_env = dict(os.environ, LUMORA_DIST=dist)
    for name, value in (env or {}).items():
        if value is None:
            run_env.pop(name, None)
        else:
            run_env[name] = value
    return subprocess.run(["bash", os.path.join(SCRIPTS, "package.sh")], env=run_env,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          timeout=PACKAGE_TIMEOUT,
                          preexec_fn=None if umask is None else lambda: os.umask(umask))


def files(folder):
    """{path relative to folder: bytes} of every file below folder."""
    found = {}
    for parent, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(parent, name)
            with open(path, "rb") as f:
                found[os.path.relpath(path, folder)] = f.read()
    return found


def pe_header(data):
    """The link time stamp, where the check sum lies and its value, where the signature
    table's directory entry lies and the table (offset, size; (0, 0) when unsigned)."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a Windows program")
    time_stamp = struct.unpack_from("<I", data, pe + 8)[0]
    optional = pe + 24
    checksum_at = optional + 64
    directories = optional + {0x10B: 96, 0x20B: 112}[struct.unpack_from("<H", data, optional)[0]]
    security_at = directories + 4 * 8  # IMAGE_DIRECTORY_ENTRY_SECURITY: a file offset
    return PeHeader(time_stamp, checksum_at, struct.unpack_from("<I", data, checksum_at)[0],
                    security_at, struct.unpack_from("<II", data, security_at))


def without_signature(data):
    """A signed program less what signing adds: the signature table at its end (and the
    zeros that align it to 8 bytes), its directory entry and the header's check sum, which
    signing fills in. None if data carries no signature table at its end."""
    header = pe_header(data)
    at, size = header.signature
    if not size or at + size != len(data):
        return None
    body = bytearray(data[:at])
    body[header.checksum_at:header.checksum_at + 4] = bytes(4)
    body[header.security_at:header.security_at + 8] = bytes(8)
    return bytes(body)


def cleared_checksum(data):
    """data with the header's check sum zeroed (the linker leaves it 0; signing sets it)."""
    header = pe_header(data)
    body = bytearray(data)
    body[header.checksum_at:header.checksum_at + 4] = bytes(4)
    return bytes(body)
