#!/usr/bin/env python3
"""Convert a 24/32-bit ZPixmap XWD screen dump (as `xwd -root` writes it) to PNG.

    xwd -root | python3 tools/xwd2png.py OUT.png
"""
import struct
import sys
import zlib


def read_xwd(data):
    fields = struct.unpack(">25I", data[:100])
    header_size, _, pixmap_format, depth, width, height = fields[:6]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    red_mask, green_mask, blue_mask = fields[14:17]
    ncolors = fields[19]
    if pixmap_format != 2 or bits_per_pixel not in (24, 32) or depth < 24:
        raise ValueError("only 24/32-bit ZPixmap dumps are supported")
    offset = header_size + ncolors * 12
    step = bits_per_pixel // 8
    order = "<" if byte_order == 0 else ">"

    def shift(mask):
        return (mask & -mask).bit_length() - 1

    shifts = [shift(m) for m in (red_mask, green_mask, blue_mask)]
    rows = []
    for y in range(height):
        line = data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * step]
        row = bytearray([0])  # PNG filter type: none
        for x in range(0, width * step, step):
            chunk = line[x:x + step] + (b"\0" if step == 3 else b"")
            pixel = struct.unpack(order + "I", chunk)[0]
            row += bytes((pixel >> s) & 0xFF for s in shifts)
        rows.append(bytes(row))
    return width, height, b"".join(rows)


def png(width, height, raw):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: xwd2png.py OUT.png < dump.xwd")
    width, height, raw = read_xwd(sys.stdin.buffer.read())
    with open(sys.argv[1], "wb") as out:
        out.write(png(width, height, raw))


if __name__ == "__main__":
    main()
