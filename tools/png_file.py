"""PNG encoding and comparison for the picture generators (no imaging library needed)."""
import struct
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"


def encode(width, height, raw, alpha):
    """A PNG of 8-bit RGB (or RGBA with alpha) rows, each row prefixed with its filter byte."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    header = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return SIGNATURE + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def pixels_of(data):
    """Header and uncompressed image data of a PNG, so that a check does not depend on how
    this machine's zlib compresses; None for anything else."""
    if data is None or data[:8] != SIGNATURE:
        return None
    pos, header, idat = 8, b"", b""
    while pos + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = body
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    try:
        return header, zlib.decompress(idat)
    except zlib.error:
        return None
