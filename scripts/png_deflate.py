#!/usr/bin/env python3
"""Compresses PNG files in place: the art generator writes its pixels
uncompressed (it needs no zlib); a page should not send them so.

    png_deflate.py FILE...
"""
import struct
import sys
import zlib


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def deflate(path):
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"{path}: not a PNG file")
    chunks, at = [], 8
    while at < len(data):
        size, = struct.unpack(">I", data[at:at + 4])
        chunks.append((data[at + 4:at + 8], data[at + 8:at + 8 + size]))
        at += 12 + size
    pixels = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    out = [data[:8]]
    for kind, body in chunks:
        if kind == b"IDAT":
            if pixels is not None:
                out.append(chunk(b"IDAT", zlib.compress(pixels, 9)))
                pixels = None
        else:
            out.append(chunk(kind, body))
    open(path, "wb").write(b"".join(out))


if __name__ == "__main__":
    for name in sys.argv[1:]:
        deflate(name)
