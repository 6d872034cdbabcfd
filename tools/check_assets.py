#!/usr/bin/env python3
"""Check the generated resources before they are linked into the program.

    python3 tools/check_assets.py OUTDIR

Parses OUTDIR/main_icon.ico, main_logo.bmp and click.wav on its own (it
shares no code with the generator, so a writer bug cannot hide here) and
exits non-zero with a message for every file that is malformed.
"""

import os
import struct
import sys

ICON_SIZES = (16, 32, 48)
LOGO_W, LOGO_H = 200, 260
WAV_RATE, WAV_DATA_BYTES = 22050, 1284
NEAR_SILENCE = 328  # 1% of full scale


class Bad(Exception):
    pass


def need(cond, msg):
    if not cond:
        raise Bad(msg)


def check_ico(data):
    need(len(data) >= 6, "too short for an ICONDIR")
    reserved, kind, count = struct.unpack_from('<HHH', data, 0)
    need(reserved == 0 and kind == 1, "not an icon (reserved=%d type=%d)" % (reserved, kind))
    need(len(data) >= 6 + 16 * count, "directory runs past the end of the file")
    seen, spans = set(), []
    for i in range(count):
        w, h, colours, res, planes, bpp, size, offset = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
        w, h = w or 256, h or 256
        tag = "image %d (%dx%d, %d bpp)" % (i, w, h, bpp)
        need(w == h and w in ICON_SIZES, "%s: unexpected size" % tag)
        need(bpp in (8, 32) and planes == 1 and res == 0 and colours == 0, "%s: bad directory entry" % tag)
        need((w, bpp) not in seen, "%s: duplicate" % tag)
        seen.add((w, bpp))
        need(offset + size <= len(data), "%s: data runs past the end of the file" % tag)
        spans.append((offset, offset + size))

        hsize, bw, bh, bplanes, bbpp, comp, _, _, _, used, _ = struct.unpack_from('<IiiHHIIiiII', data, offset)
        need(hsize == 40, "%s: DIB header is %d bytes, not a BITMAPINFOHEADER" % (tag, hsize))
        need((bw, bh) == (w, 2 * h), "%s: DIB is %dx%d, expected %dx%d" % (tag, bw, bh, w, 2 * h))
        need((bplanes, bbpp, comp) == (1, bpp, 0), "%s: DIB planes/bpp/compression disagree" % tag)
        palette = (used or 256) if bbpp == 8 else 0
        xor_stride = (w * bbpp + 31) // 32 * 4
        and_stride = (w + 31) // 32 * 4
        want = 40 + 4 * palette + (xor_stride + and_stride) * h
        need(size == want, "%s: %d bytes in entry, DIB needs %d" % (tag, size, want))

        pixels = data[offset + 40 + 4 * palette:offset + 40 + 4 * palette + xor_stride * h]
        mask = data[offset + want - and_stride * h:offset + want]
        if bpp == 32:
            alpha = set(pixels[3::4])
            need(0 in alpha and 255 in alpha, "%s: alpha channel is not used" % tag)
        else:
            need(any(mask) and not all(b == 0xFF for b in mask), "%s: AND mask has no transparency" % tag)
    need(seen == {(s, 32) for s in ICON_SIZES},
         "images present: %s" % sorted(seen))
    spans.sort()
    need(all(a[1] <= b[0] for a, b in zip(spans, spans[1:])), "image data overlaps")


def check_bmp(data):
    need(len(data) >= 54 and data[:2] == b'BM', "not a BMP file")
    file_size, _, _, bits_at = struct.unpack_from('<IHHI', data, 2)
    hsize, w, h, planes, bpp, comp, image_size = struct.unpack_from('<IiiHHII', data, 14)
    need(hsize == 40, "info header is %d bytes, expected 40" % hsize)
    need((w, h) == (LOGO_W, LOGO_H), "%dx%d, expected %dx%d (bottom-up)" % (w, h, LOGO_W, LOGO_H))
    need((planes, bpp, comp) == (1, 24, 0), "planes/bpp/compression %d/%d/%d, expected 1/24/0" % (planes, bpp, comp))
    need(file_size == len(data), "header says %d bytes, file has %d" % (file_size, len(data)))
    need(bits_at == 54, "pixel data at %d, expected 54" % bits_at)
    stride = (w * 3 + 3) // 4 * 4
    need(len(data) == bits_at + stride * h, "pixel data is %d bytes, expected %d" % (len(data) - bits_at, stride * h))
    need(image_size in (0, stride * h), "biSizeImage is %d" % image_size)
    colours = {data[bits_at + y * stride + 3 * x:bits_at + y * stride + 3 * x + 3]
               for y in range(h) for x in range(w)}
    need(len(colours) >= 8, "only %d distinct colours: a flat fill, not a logo" % len(colours))


def check_wav(data):
    need(len(data) >= 12 and data[:4] == b'RIFF' and data[8:12] == b'WAVE', "not a RIFF WAVE file")
    need(struct.unpack_from('<I', data, 4)[0] == len(data) - 8, "RIFF size disagrees with file size")
    chunks, pos = {}, 12
    while pos + 8 <= len(data):
        cid, n = struct.unpack_from('<4sI', data, pos)
        chunks[cid] = data[pos + 8:pos + 8 + n]
        pos += 8 + n + (n & 1)
    need(pos == len(data), "chunks do not end at the end of the file")
    need(b'fmt ' in chunks and b'data' in chunks, "missing fmt or data chunk")
    fmt = chunks[b'fmt ']
    need(len(fmt) == 16, "fmt chunk is %d bytes, expected 16" % len(fmt))
    tag, ch, rate, byte_rate, align, bits = struct.unpack('<HHIIHH', fmt)
    need((tag, ch, rate, bits) == (1, 1, WAV_RATE, 16),
         "format %d, %d ch, %d Hz, %d bit; expected PCM mono %d Hz 16 bit" % (tag, ch, rate, bits, WAV_RATE))
    need((byte_rate, align) == (WAV_RATE * 2, 2), "byte rate / block align inconsistent")
    pcm = chunks[b'data']
    need(len(pcm) == WAV_DATA_BYTES, "data chunk is %d bytes, expected %d" % (len(pcm), WAV_DATA_BYTES))
    need(len(data) == 44 + WAV_DATA_BYTES, "not a canonical 44-byte header (file is %d bytes)" % len(data))
    s = struct.unpack('<%dh' % (len(pcm) // 2), pcm)
    need(any(s), "all samples are zero")
    need(abs(s[0]) <= NEAR_SILENCE and abs(s[-1]) <= NEAR_SILENCE,
         "does not start and end near silence (first %d, last %d)" % (s[0], s[-1]))
    need(max(s) < 32767 and min(s) > -32768, "samples clip")


CHECKS = (('main_icon.ico', check_ico), ('main_logo.bmp', check_bmp), ('click.wav', check_wav))


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: check_assets.py OUTDIR\n")
        return 2
    failed = 0
    for name, check in CHECKS:
        path = os.path.join(argv[1], name)
        try:
            with open(path, 'rb') as f:
                check(f.read())
        except (OSError, Bad, struct.error) as e:
            failed += 1
            print("FAIL %s: %s" % (name, e))
    print("assets: %d passed, %d failed" % (len(CHECKS) - failed, failed))
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
