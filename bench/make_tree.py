#!/usr/bin/python3
"""Writes a tree of small PE images and non-PE files for the intake benchmarks.

usage: make_tree.py FOLDER COUNT SIZE [NONPE_EVERY]
COUNT files of SIZE bytes in folders of 500; every NONPE_EVERY-th file is
not a PE image (0: none)."""
import os
import struct
import sys


def pe_header():
    head = bytearray(0x200)
    head[0:2] = b"MZ"
    struct.pack_into("<I", head, 0x3C, 0x80)
    head[0x80:0x84] = b"PE\0\0"
    struct.pack_into("<H", head, 0x84, 0x8664)
    struct.pack_into("<H", head, 0x80 + 24, 0x20B)
    return bytes(head)


def main():
    folder, count, size = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    nonpe_every = int(sys.argv[4]) if len(sys.argv) > 4 else 0
    header = pe_header()
    block = os.urandom(1 << 20)
    for i in range(count):
        sub = os.path.join(folder, "d%03d" % (i // 500))
        if i % 500 == 0:
            os.makedirs(sub, exist_ok=True)
        body = bytearray(size)
        if not (nonpe_every and i % nonpe_every == 0):
            body[0:min(size, len(header))] = header[0:size]
        offset = (i * 4099) % len(block)
        rest = size - len(header)
        if rest > 0:
            chunk = (block[offset:] + block)[:rest]
            body[len(header):] = chunk
        struct.pack_into("<I", body, min(size - 4, 0x100), i)
        with open(os.path.join(sub, "f%06d.exe" % i), "wb") as out:
            out.write(body)


if __name__ == "__main__":
    main()
